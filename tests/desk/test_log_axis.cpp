#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "desk/log_axis.h"

namespace matcalc {
namespace {

struct AxisCase {
  double smallest;
  double largest;
  int low;
  int high;
  int step;
  std::vector<std::string> labels;
};

TEST(LogAxis, LabelsARoundSubsetOfTheDecades) {
  const AxisCase cases[] = {
      {0.5, 3, -1, 1, 1, {"1E-1", "1", "1E+1"}},
      {1e-20, 1e-20, -20, -19, 1, {"1E-20", "1E-19"}},
      {1e-7, 1, -7, 0, 1, {"1E-7", "1E-6", "1E-5", "1E-4", "1E-3", "1E-2", "1E-1", "1"}},
      {1e-8, 1, -8, 0, 2, {"1E-8", "1E-6", "1E-4", "1E-2", "1"}},
      // A classical Jacobi run with eps 0 on an order-4 matrix: 3 down to 2e-159.
      {2e-159,
       3,
       -159,
       1,
       20,
       {"1E-140", "1E-120", "1E-100", "1E-80", "1E-60", "1E-40", "1E-20", "1"}},
      {1e-200, 1e20, -200, 20, 50, {"1E-200", "1E-150", "1E-100", "1E-50", "1"}},
      {4.9e-324,
       1.7e308,
       -324,
       309,
       100,
       {"1E-300", "1E-200", "1E-100", "1", "1E+100", "1E+200", "1E+300"}},
  };
  for (const AxisCase& c : cases) {
    const LogAxisPlan plan = PlanLogAxis(c.smallest, c.largest);
    SCOPED_TRACE(c.smallest);
    EXPECT_EQ(plan.low, c.low);
    EXPECT_EQ(plan.high, c.high);
    EXPECT_EQ(plan.step, c.step);
    EXPECT_EQ(plan.labels, c.labels);
  }
}

TEST(LogAxis, NeverMoreThanEightLabelsOverAnySpan) {
  for (int low = -330; low <= 0; low += 7) {
    for (int span = 1; span <= 640; span += 3) {
      const LogAxisPlan plan = PlanLogAxis(std::pow(10.0, low), std::pow(10.0, low + span));
      ASSERT_GE(plan.labels.size(), 1u) << low << " " << span;
      ASSERT_LE(plan.labels.size(), static_cast<std::size_t>(kMostLogLabels)) << low << " " << span;
      for (const int e : plan.exponents) ASSERT_EQ(e % plan.step, 0);
    }
  }
}

TEST(LogAxis, BoundsThatAreNoRangeGiveOneDecade) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const auto& [a, b] : {std::pair{0.0, 1.0}, {-1.0, 1.0}, {nan, 1.0}, {2.0, 1.0}}) {
    const LogAxisPlan plan = PlanLogAxis(a, b);
    EXPECT_EQ(plan.low, 0);
    EXPECT_EQ(plan.high, 1);
    EXPECT_EQ(plan.labels, (std::vector<std::string>{"1", "1E+1"}));
  }
}

}  // namespace
}  // namespace matcalc
