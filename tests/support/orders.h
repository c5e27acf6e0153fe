// The largest order the runner's budgets accept for a method's estimate, with
// a text of `entry_bytes` per entry (long entries: about 32 bytes with their
// separators).
#pragma once

#include <string>

#include "cli/runner.h"
#include "frame/budget.h"

namespace matcalc::testing {

using EstimateFunction = WorkEstimate (*)(int order, int digits);

inline BudgetNeeds RunnerNeeds(EstimateFunction estimate, int n, int digits,
                               double entry_bytes = 32) {
  return TotalNeeds(estimate(n, digits), entry_bytes * n * n, kRunnerCosts);
}

// The largest order (1..32767) whose needs fit; 0 when none does. The needs
// grow with the order, so a bisection finds it.
inline int LargestAcceptedOrder(EstimateFunction estimate, int digits, double entry_bytes = 32) {
  int low = 0;
  int high = 32768;
  while (high - low > 1) {
    const int middle = (low + high) / 2;
    if (FitsBudget(RunnerNeeds(estimate, middle, digits, entry_bytes))) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return low;
}

// The larger share of a budget the needs at order n take.
inline double BudgetShare(EstimateFunction estimate, int n, int digits) {
  const BudgetNeeds needs = RunnerNeeds(estimate, n, digits);
  const double memory = needs.bytes / kMemoryBudgetBytes;
  const double work = needs.nanoseconds / kWorkBudgetNanoseconds;
  return memory > work ? memory : work;
}

}  // namespace matcalc::testing

namespace matcalc::testing {

// An n x n matrix text of long entries whose values give the longest number
// texts: 15 significant digits, signs, and E notation now and then; with
// `dominant` a diagonal beyond every row's sum.
inline std::string LongEntriesText(int n, bool dominant) {
  std::string text;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (j > 1) text += ' ';
      if (dominant && i == j) {
        text += "1234567.89012345";
      } else if ((i * 7 + j * 3) % 5 == 0) {
        text += "-1.23456789012345e-7";
      } else {
        text += (i + j) % 2 ? "-0." : "0.";
        text += std::to_string(123456789 + i * 1013 + j * 7919);
      }
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace matcalc::testing
