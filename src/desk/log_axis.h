// The ticks an axis labels, for every front end's charts. A log axis over a
// few decades labels each; over many (a Jacobi run with eps 0 spans 160) it
// labels every second, fifth, tenth ... decade, so that at most as many
// labels and grid lines stand on it as its height has room for, and none is
// elided. A linear axis labels round steps (1, 2 or 5 times a power of ten)
// the same way.
#pragma once

#include <string>
#include <vector>

namespace matcalc {

struct LogAxisPlan {
  int low = 0;                      // the axis runs from 10^low
  int high = 1;                     // to 10^high
  int step = 1;                     // decades between two labels, which stand on its multiples
  std::vector<int> exponents;       // the labelled decades, low to high
  std::vector<std::string> labels;  // "1E-20", "1", "1E+3": E notation
};

inline constexpr int kMostLogLabels = 8;

// The plan for positive finite values from `smallest` to `largest`; any
// other bounds give the decade from 1 to 10.
LogAxisPlan PlanLogAxis(double smallest, double largest);

// The plan for an axis from 10^low to 10^high (whole decades, as a chart plan
// gives them) with at most `most` labels (2 at least); high is at least
// low + 1.
LogAxisPlan PlanLogDecades(int low, int high, int most = kMostLogLabels);

struct LinearAxisPlan {
  double step = 1;                  // between two ticks
  std::vector<double> values;       // the ticks within the axis, multiples of the step, low to high
  std::vector<std::string> labels;  // their text as the traces write numbers
};

inline constexpr int kMostLinearLabels = 7;

// The ticks of a linear axis from `low` to `high` (finite, low < high, their
// difference possibly beyond the largest double): the smallest round step,
// and at least `smallest_step`, that leaves at most `most` ticks (2 at
// least) on the axis.
LinearAxisPlan PlanLinearTicks(double low, double high, int most = kMostLinearLabels,
                               double smallest_step = 0);

// "1E-159" for -159, "1" for 0, "1E+3" for 3.
std::string DecadeLabel(int exponent);

}  // namespace matcalc
