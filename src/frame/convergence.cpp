#include "frame/convergence.h"

#include <algorithm>

namespace matcalc {
namespace {

// The last quantity of the enumeration closes the count.
constexpr int kQuantities = static_cast<int>(Quantity::kFittedCurve) + 1;

}  // namespace

void ConvergenceLog::Clear() {
  series_.clear();
  index_.clear();
  gave_up_.reset();
  why_.clear();
}

Series& ConvergenceLog::SeriesFor(Quantity quantity, int component) {
  if (index_.empty()) index_.resize(kQuantities);
  std::vector<int>& slots = index_[static_cast<std::size_t>(quantity)];
  const std::size_t slot = component < 0 ? 0 : static_cast<std::size_t>(component);
  if (slots.size() <= slot) slots.resize(slot + 1, -1);
  if (slots[slot] < 0) {
    slots[slot] = static_cast<int>(series_.size());
    series_.push_back({quantity, component, {}});
  }
  return series_[static_cast<std::size_t>(slots[slot])];
}

void ConvergenceLog::Add(Quantity quantity, int component, double x, double y) {
  if (!enabled_) return;
  SeriesFor(quantity, component).points.push_back({x, y});
}

void ConvergenceLog::AddVector(Quantity quantity, double x, const Vector& v) {
  if (!enabled_) return;
  for (int j = 1; j <= v.size(); ++j) Add(quantity, j, x, v(j));
}

void ConvergenceLog::AddDiagonal(double x, const Matrix& a, int n) {
  if (!enabled_) return;
  for (int i = 1; i <= n; ++i) Add(Quantity::kDiagonal, i, x, a(i, i));
}

void ConvergenceLog::GiveUp(double x, std::string_view why) {
  if (!enabled_) return;
  gave_up_ = x;
  why_ = why;
}

void ConvergenceLog::GiveUp(std::string_view why) {
  double last = 0;
  for (const Series& s : series_) {
    for (const SeriesPoint& p : s.points) last = std::max(last, p.x);
  }
  GiveUp(last, why);
}

bool ConvergenceLog::is_fit() const {
  for (const Series& s : series_) {
    if (s.quantity == Quantity::kDataPoint || s.quantity == Quantity::kFittedCurve) return true;
  }
  return false;
}

bool ConvergenceLog::counts_passes() const {
  for (const Series& s : series_) {
    if (s.quantity == Quantity::kOffDiagonal || s.quantity == Quantity::kDiagonal) return true;
  }
  return false;
}

}  // namespace matcalc
