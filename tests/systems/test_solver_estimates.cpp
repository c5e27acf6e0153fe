// The estimates of the direct solvers and the condition numbers, checked
// without timing anything: the largest order each accepts, and traces that
// never outgrow the room the result pane reserved for them.
#include <gtest/gtest.h>

#include <string>

#include "support/golden.h"
#include "support/orders.h"
#include "systems/direct_estimates.h"

namespace matcalc {
namespace {

using testing::BudgetShare;
using testing::LargestAcceptedOrder;

struct Boundary {
  const char* method;
  testing::EstimateFunction estimate;
  int largest;  // with long entries, in the runner, at 15 digits
};

// The orders follow from the unit costs in frame/budget.h; the trace of the
// elimination (the whole matrix after every step) holds gauss to memory.
const Boundary kBoundaries[] = {
    {"gauss", &GaussWork, 340},
    {"lu-solve", &LuSolveWork, 2715},
    {"cholesky", &CholeskyWork, 3117},
    {"ldlt", &LdltWork, 3116},
    {"tridiagonal", &TridiagonalWork, 3852},
    {"condition", &ConditionWork, 1812},
};

TEST(SolverEstimates, LargestAcceptedOrdersFillABudget) {
  for (const Boundary& b : kBoundaries) {
    SCOPED_TRACE(b.method);
    EXPECT_EQ(LargestAcceptedOrder(b.estimate, 15), b.largest);
    EXPECT_GT(BudgetShare(b.estimate, b.largest, 15), 0.95);
    EXPECT_GT(BudgetShare(b.estimate, b.largest + 1, 15), 1.0);
  }
}

// A symmetric augmented matrix of long entries whose values give long
// number texts, with a diagonal beyond every row's sum: every method runs to
// its solution block.
std::string LongSystemText(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n + 1; ++j) {
      if (j > 1) text += ' ';
      if (i == j) {
        text += "1234567.89012345";
      } else if ((i * j) % 5 == 0) {
        text += "-1.23456789012345e-7";
      } else {
        text += (i + j) % 2 ? "-0." : "0.";
        text += std::to_string(123456789 + (i + j) * 1013 + i * j * 7919);
      }
    }
    text += "\r\n";
  }
  return text;
}

TEST(SolverEstimates, TracesFitTheirReservedRoom) {
  for (const Boundary& b : kBoundaries) {
    SCOPED_TRACE(b.method);
    for (const int n : {1, 2, 9}) {
      for (const int digits : {6, 14, 15}) {
        const testing::MethodOutcome run =
            testing::RunMethod(b.method, LongSystemText(n), {std::to_string(n)}, {}, digits);
        ASSERT_NE(run.text2.find("以上是"), std::string::npos);
        EXPECT_EQ(run.text2.find("不适用"), std::string::npos) << run.text2;
        EXPECT_LE(static_cast<double>(run.text2.size()), b.estimate(n, digits).trace_bytes)
            << "order " << n << ", digits " << digits;
      }
    }
  }
}

}  // namespace
}  // namespace matcalc
