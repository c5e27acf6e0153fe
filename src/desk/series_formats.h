// The convergence series as the front ends write them: their names in charts
// and files, the runner's --series file (CSV) and the page's JSON.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "frame/convergence.h"

namespace matcalc {

// A series' name in charts and in the series file: "第 1 个分量的估计值",
// "特征值", "近似特征值", "非对角元的最大模", "第 1 个对角元".
std::string SeriesName(const Series& series);

// The name of the give-up row in the series file.
inline constexpr std::string_view kGaveUpSeries = "未收敛";

// The series file: UTF-8, header "series,x,y", one row per point, series by
// series in the order they were first recorded, numbers in their default text
// as in the traces; a run that gave up ends with the row "未收敛,X,1", X the
// last iterate or pass. Line breaks are LF.
std::string SeriesCsv(const ConvergenceLog& log);
// The same text in blocks of about `block_bytes` (the last one shorter),
// each handed to `take` as soon as it is made, so a long series is never
// held whole; `take` returns false to stop.
void SeriesCsvBlocks(const ConvergenceLog& log, std::size_t block_bytes,
                     const std::function<bool(std::string_view)>& take);

// The same for a page's script, as JSON: {"passes":false,"gaveUp":null,
// "why":"","series":[{"name":"...","quantity":"estimate","component":1,
// "points":[[3,2.5],...]}]}. Values that are not finite are null.
std::string SeriesJson(const ConvergenceLog& log);

}  // namespace matcalc
