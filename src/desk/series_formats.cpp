#include "desk/series_formats.h"

#include "desk/json_text.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

// A field of the series file, quoted when it holds a comma, a quote or a
// line break.
void AppendCsvField(std::string& out, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

const char* QuantityKey(Quantity quantity) {
  switch (quantity) {
    case Quantity::kEstimate:
      return "estimate";
    case Quantity::kEigenvalue:
      return "eigenvalue";
    case Quantity::kApproximation:
      return "approximation";
    case Quantity::kOffDiagonal:
      return "offDiagonal";
    case Quantity::kDiagonal:
      return "diagonal";
    case Quantity::kError:
      return "error";
    case Quantity::kComponent:
      return "component";
    case Quantity::kSubdiagonal:
      return "subdiagonal";
    case Quantity::kDataPoint:
      return "point";
    case Quantity::kFittedCurve:
      return "curve";
  }
  return "";
}

}  // namespace

std::string SeriesName(const Series& series) {
  const std::string k = std::to_string(series.component);
  switch (series.quantity) {
    case Quantity::kEstimate:
      return "第 " + k + " 个分量的估计值";
    case Quantity::kEigenvalue:
      return "特征值";
    case Quantity::kApproximation:
      return "近似特征值";
    case Quantity::kOffDiagonal:
      return "非对角元的最大模";
    case Quantity::kDiagonal:
      return "第 " + k + " 个对角元";
    case Quantity::kError:
      return "误差";
    case Quantity::kComponent:
      return "x" + k;
    case Quantity::kSubdiagonal:
      return "|h(" + std::to_string(series.component + 1) + "," + k + ")|";
    case Quantity::kDataPoint:
      return "数据点";
    case Quantity::kFittedCurve:
      return "拟合曲线";
  }
  return {};
}

void SeriesCsvBlocks(const ConvergenceLog& log, std::size_t block_bytes,
                     const std::function<bool(std::string_view)>& take) {
  std::string out = "series,x,y\n";
  out.reserve(block_bytes + 256);
  for (const Series& s : log.series()) {
    const std::string name = SeriesName(s);
    for (const SeriesPoint& p : s.points) {
      AppendCsvField(out, name);
      out += ',';
      AppendNumber(out, p.x);
      out += ',';
      AppendNumber(out, p.y);
      out += '\n';
      if (out.size() >= block_bytes) {
        if (!take(out)) return;
        out.clear();
      }
    }
  }
  if (log.gave_up_at()) {
    out += kGaveUpSeries;
    out += ',';
    AppendNumber(out, *log.gave_up_at());
    out += ",1\n";
  }
  if (!out.empty()) take(out);
}

std::string SeriesCsv(const ConvergenceLog& log) {
  std::string all;
  SeriesCsvBlocks(log, 1 << 16, [&all](std::string_view block) {
    all += block;
    return true;
  });
  return all;
}

std::string SeriesJson(const ConvergenceLog& log) {
  std::string out = "{\"passes\":";
  out += log.counts_passes() ? "true" : "false";
  out += ",\"gaveUp\":";
  if (log.gave_up_at()) {
    AppendJsonNumber(out, *log.gave_up_at());
  } else {
    out += "null";
  }
  out += ",\"why\":";
  AppendJsonString(out, log.why());
  out += ",\"series\":[";
  bool first_series = true;
  for (const Series& s : log.series()) {
    if (!first_series) out += ',';
    first_series = false;
    out += "{\"name\":";
    AppendJsonString(out, SeriesName(s));
    out += ",\"quantity\":\"";
    out += QuantityKey(s.quantity);
    out += "\",\"component\":" + std::to_string(s.component) + ",\"points\":[";
    bool first_point = true;
    for (const SeriesPoint& p : s.points) {
      if (!first_point) out += ',';
      first_point = false;
      out += '[';
      AppendJsonNumber(out, p.x);
      out += ',';
      AppendJsonNumber(out, p.y);
      out += ']';
    }
    out += "]}";
  }
  out += "]}";
  return out;
}

}  // namespace matcalc
