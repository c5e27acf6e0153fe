#include "desk/log_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "text/number_text.h"

namespace matcalc {
namespace {

// The first multiple of `step` at or above `value`.
int CeilTo(int value, int step) {
  const int q = value / step;
  return (value % step != 0 && value > 0 ? q + 1 : q) * step;
}

// m times 10^e, read from its text: the double nearest to it, on every
// platform.
double RoundStep(int m, int e) {
  char text[24];
  std::snprintf(text, sizeof text, "%de%d", m, e);
  return std::strtod(text, nullptr);
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

LogAxisPlan PlanLogDecades(int low, int high, int most) {
  const int most_labels = std::max(most, 2);
  LogAxisPlan plan;
  plan.low = low;
  plan.high = high <= low ? low + 1 : high;
  // 1, 2, 3, 5, 10, 20, 25, 50, 100 ... decades a label: the first step
  // that keeps the labels within bounds. Labels fall on multiples of the
  // step, so they read as round decades; the axis keeps its own ends.
  static constexpr int kFactors[] = {10, 20, 25, 50};
  const auto count = [&plan](int step) { return (plan.high - CeilTo(plan.low, step)) / step + 1; };
  plan.step = count(1) <= most_labels   ? 1
              : count(2) <= most_labels ? 2
              : count(3) <= most_labels ? 3
                                        : 5;
  for (int scale = 1; count(plan.step) > most_labels; scale *= 10) {
    for (const int factor : kFactors) {
      plan.step = factor * scale;
      if (count(plan.step) <= most_labels) break;
    }
  }
  for (int e = CeilTo(plan.low, plan.step); e <= plan.high; e += plan.step) {
    plan.exponents.push_back(e);
    plan.labels.push_back(DecadeLabel(e));
  }
  return plan;
}

LinearAxisPlan PlanLinearTicks(double low, double high, int most, double smallest_step) {
  LinearAxisPlan plan;
  const double intervals = std::max(most, 2) - 1;
  // Halves keep the span finite however far apart the ends lie (up to twice
  // the largest double); the step must cover span / intervals.
  const double half_span = high / 2 - low / 2;
  if (!(half_span > 0) || !std::isfinite(half_span)) return plan;
  const double half_raw = half_span / intervals;
  // A step beyond 1E+308 is no step a double can take.
  constexpr double kLargestDecade = 1e308;
  double step = kLargestDecade;
  if (half_raw <= kLargestDecade / 2) {
    const double raw = half_raw * 2;
    // The decade of `raw`: log10 only guesses it (its last bits differ by
    // platform); the comparisons with the decades as read settle it.
    int e = static_cast<int>(std::floor(std::log10(raw)));
    while (e > -324 && RoundStep(1, e) > raw) --e;
    while (e < 307 && RoundStep(1, e + 1) <= raw) ++e;
    for (const int m : {1, 2, 5, 10}) {
      const double candidate = RoundStep(m, e);
      if (candidate >= raw) {
        step = std::min(candidate, kLargestDecade);
        break;
      }
    }
  }
  plan.step = std::max(step, smallest_step);
  // Multiples of the step within the axis; a step lost beside the ends'
  // magnitude (far beyond 2^53 steps) adds no tick twice.
  const double first = std::ceil(low / plan.step);
  double previous = -std::numeric_limits<double>::infinity();
  for (int i = 0; i < std::max(most, 2); ++i) {
    double t = (first + i) * plan.step;
    if (!(t <= high) || !(t > previous)) break;
    if (t == 0) t = 0;  // never "-0"
    plan.values.push_back(t);
    plan.labels.push_back(FormatNumber(t));
    previous = t;
  }
  return plan;
}

}  // namespace matcalc
