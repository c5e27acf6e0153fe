// What the iterative methods record as they converge, for the charts of the
// front ends and the runner's --series file. Methods record values through
// the frame; the trace never changes for it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linalg/matrix.h"

namespace matcalc {

enum class Quantity {
  kEstimate,       // power, origin shift: each component's eigenvalue estimate per iterate
  kEigenvalue,     // power, origin shift: the estimate accepted, at its iterate
  kApproximation,  // inverse power: the approximate eigenvalue per iteration
  kOffDiagonal,    // Jacobi: the largest magnitude above the diagonal per pass
  kDiagonal,       // Jacobi: each diagonal element per pass
  kError,          // iterative solvers: the change ‖x(k) − x(k−1)‖∞ per iteration
  kComponent,      // iterative solvers: each component of the iterate (from x0 at 0)
};

struct SeriesPoint {
  double x = 0;
  double y = 0;
};

struct Series {
  Quantity quantity = Quantity::kEstimate;
  int component = 0;  // 1.. for the estimates, the diagonal and the components, else 0
  std::vector<SeriesPoint> points;

  // Its name in charts and in the series file: "第 1 个分量的估计值",
  // "特征值", "近似特征值", "非对角元的最大模", "第 1 个对角元", "误差",
  // "x1".
  std::string Name() const;
};

class ConvergenceLog {
 public:
  // A log that is not enabled records nothing: the frame's own, when no
  // front end asked for the series.
  explicit ConvergenceLog(bool enabled = true) : enabled_(enabled) {}

  bool enabled() const { return enabled_; }
  void Clear();

  void Add(Quantity quantity, int component, double x, double y);
  // Components 1..n of `v` as the components of `quantity`.
  void AddVector(Quantity quantity, double x, const Vector& v);
  // The diagonal of the n x n matrix `a`.
  void AddDiagonal(double x, const Matrix& a, int n);
  // The run ended at its bound (or could not go on) without converging,
  // after iterate or pass `x`; `why` says so in the method's words.
  void GiveUp(double x, std::string_view why);
  // The same after the last iterate or pass recorded.
  void GiveUp(std::string_view why);

  bool empty() const { return series_.empty() && !gave_up_; }
  const std::vector<Series>& series() const { return series_; }
  // Where and why the run gave up; nothing when it converged.
  std::optional<double> gave_up_at() const { return gave_up_; }
  const std::string& why() const { return why_; }
  // Iterates or passes: what the x values count.
  bool counts_passes() const;

 private:
  Series& SeriesFor(Quantity quantity, int component);

  bool enabled_;
  std::vector<Series> series_;
  // Index into series_ by quantity and component, built as series appear.
  std::vector<std::vector<int>> index_;
  std::optional<double> gave_up_;
  std::string why_;
};

// Whether charts draw `quantity` on a log scale: the magnitudes that fall
// towards 0 over many decades.
bool OnLogScale(Quantity quantity);
// Whether charts draw it in the lower panel, one line per component.
bool OnLowerPanel(Quantity quantity);

// The name of the give-up row in the series file.
inline constexpr std::string_view kGaveUpSeries = "未收敛";

// The series file: UTF-8, header "series,x,y", one row per point, series by
// series in the order they were first recorded, numbers in their default text
// as in the traces; a run that gave up ends with the row "未收敛,X,1", X the
// last iterate or pass. Line breaks are LF.
std::string SeriesCsv(const ConvergenceLog& log);

// The same for a page's script, as JSON: {"passes":false,"gaveUp":null,
// "why":"","series":[{"name":"...","quantity":"estimate","component":1,
// "points":[[3,2.5],...]}]}. Values that are not finite are null.
std::string SeriesJson(const ConvergenceLog& log);

}  // namespace matcalc
