// The decades a log axis labels, for every front end's charts. An axis over
// a few decades labels each; over many (a Jacobi run with eps 0 spans 160)
// it labels every second, fifth, tenth ... decade, so that at most
// kMostLabels labels and as many grid lines stand on it and none is elided.
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
// gives them); high is at least low + 1.
LogAxisPlan PlanLogDecades(int low, int high);

// "1E-159" for -159, "1" for 0, "1E+3" for 3.
std::string DecadeLabel(int exponent);

}  // namespace matcalc
