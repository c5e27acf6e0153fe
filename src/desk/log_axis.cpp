#include "desk/log_axis.h"

#include <cmath>

namespace matcalc {
namespace {

// The first multiple of `step` at or above `value`.
int CeilTo(int value, int step) {
  const int q = value / step;
  return (value % step != 0 && value > 0 ? q + 1 : q) * step;
}

}  // namespace

std::string DecadeLabel(int exponent) {
  if (exponent == 0) return "1";
  return (exponent < 0 ? "1E-" : "1E+") + std::to_string(exponent < 0 ? -exponent : exponent);
}

LogAxisPlan PlanLogAxis(double smallest, double largest) {
  if (std::isfinite(smallest) && std::isfinite(largest) && smallest > 0 && largest >= smallest) {
    // log10 of a power of ten is exact for the decades a double reaches, so
    // 1E-20 opens its own decade and is not pushed below it.
    return PlanLogDecades(static_cast<int>(std::floor(std::log10(smallest))),
                          static_cast<int>(std::ceil(std::log10(largest))));
  }
  return PlanLogDecades(0, 1);
}

LogAxisPlan PlanLogDecades(int low, int high) {
  LogAxisPlan plan;
  plan.low = low;
  plan.high = high <= low ? low + 1 : high;
  // 1, 2, 3, 5, 10, 20, 25, 50, 100 ... decades a label: the first step
  // that keeps the labels within bounds. Labels fall on multiples of the
  // step, so they read as round decades; the axis keeps its own ends.
  static constexpr int kFactors[] = {10, 20, 25, 50};
  const auto count = [&plan](int step) { return (plan.high - CeilTo(plan.low, step)) / step + 1; };
  plan.step = count(1) <= kMostLogLabels   ? 1
              : count(2) <= kMostLogLabels ? 2
              : count(3) <= kMostLogLabels ? 3
                                           : 5;
  for (int scale = 1; count(plan.step) > kMostLogLabels; scale *= 10) {
    for (const int factor : kFactors) {
      plan.step = factor * scale;
      if (count(plan.step) <= kMostLogLabels) break;
    }
  }
  for (int e = CeilTo(plan.low, plan.step); e <= plan.high; e += plan.step) {
    plan.exponents.push_back(e);
    plan.labels.push_back(DecadeLabel(e));
  }
  return plan;
}

}  // namespace matcalc
