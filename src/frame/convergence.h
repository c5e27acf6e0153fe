// What the iterative methods record as they converge, for the charts of the
// front ends and the runner's --series file (desk/series_formats.h). Methods record values through
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
  kSubdiagonal,    // QR method: |h(k+1,k)| of the active block per iteration (k the component)
  kDataPoint,      // curve fit: the points (x, y), not a run
  kFittedCurve,    // curve fit: the polynomial sampled over the points' span (keep it last)
};

struct SeriesPoint {
  double x = 0;
  double y = 0;
};

struct Series {
  Quantity quantity = Quantity::kEstimate;
  int component = 0;  // 1.. for the estimates, the diagonal and the components, else 0
  std::vector<SeriesPoint> points;
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
  // A curve fit's points and polynomial: x is the abscissa, not a count.
  bool is_fit() const;

 private:
  Series& SeriesFor(Quantity quantity, int component);

  bool enabled_;
  std::vector<Series> series_;
  // Index into series_ by quantity and component, built as series appear.
  std::vector<std::vector<int>> index_;
  std::optional<double> gave_up_;
  std::string why_;
};

}  // namespace matcalc
