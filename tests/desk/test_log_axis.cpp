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

// A lower axis has room for fewer labels: the step grows, the labels stay
// on its multiples.
TEST(LogAxis, FewerLabelsWhereThereIsLessRoom) {
  const struct {
    int most;
    int step;
    std::vector<std::string> labels;
  } cases[] = {
      {8, 20, {"1E-140", "1E-120", "1E-100", "1E-80", "1E-60", "1E-40", "1E-20", "1"}},
      {7, 25, {"1E-150", "1E-125", "1E-100", "1E-75", "1E-50", "1E-25", "1"}},
      {4, 50, {"1E-150", "1E-100", "1E-50", "1"}},
      {2, 100, {"1E-100", "1"}},
      {0, 100, {"1E-100", "1"}},  // never fewer than two
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.most);
    const LogAxisPlan plan = PlanLogDecades(-159, 1, c.most);
    EXPECT_EQ(plan.step, c.step);
    EXPECT_EQ(plan.labels, c.labels);
  }
}

// Linear ticks at round steps, written as the traces write numbers, on
// axes up to the limits of a double: never more than asked for, never a
// tick outside the axis, never "-0".
TEST(LinearTicks, RoundStepsWithinTheAxis) {
  const double largest = std::numeric_limits<double>::max();
  const struct {
    double low;
    double high;
    int most;
    double smallest_step;
    double step;
    std::vector<std::string> labels;
  } cases[] = {
      {0, 101, 11, 1, 20, {"0", "20", "40", "60", "80", "100"}},
      {0, 7, 11, 1, 1, {"0", "1", "2", "3", "4", "5", "6", "7"}},
      {1, 2, 11, 1, 1, {"1", "2"}},  // whole iterates: no step below 1
      {-0.3, 2.9, 7, 0, 1, {"0", "1", "2"}},
      {0.1, 0.36, 7, 0, 0.05, {"0.1", "0.15", "0.2", "0.25", "0.3", "0.35"}},
      {-1.1e-300, 3.1e-300, 6, 0, 1e-300, {"-1E-300", "0", "1E-300", "2E-300", "3E-300"}},
      {4.9e-324, 9.9e-323, 3, 0, 5e-323, {"4.94065645841247E-323", "9.88131291682493E-323"}},
      {-largest, largest, 7, 0, 1e308, {"-1E+308", "0", "1E+308"}},
      {-1.08e308, 8e306, 7, 0, 2e307, {"-1E+308", "-8E+307", "-6E+307", "-4E+307", "-2E+307", "0"}},
      {1e15, 1e15 + 4, 5, 0, 1, {"1E+15", "1E+15", "1E+15", "1E+15", "1E+15"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.low) + " .. " + std::to_string(c.high));
    const LinearAxisPlan plan = PlanLinearTicks(c.low, c.high, c.most, c.smallest_step);
    EXPECT_DOUBLE_EQ(plan.step, c.step);
    EXPECT_EQ(plan.labels, c.labels);
    ASSERT_EQ(plan.values.size(), plan.labels.size());
    EXPECT_LE(plan.values.size(), static_cast<std::size_t>(c.most));
    for (std::size_t i = 0; i < plan.values.size(); ++i) {
      EXPECT_GE(plan.values[i], c.low);
      EXPECT_LE(plan.values[i], c.high);
      if (i > 0) EXPECT_GT(plan.values[i], plan.values[i - 1]);
    }
  }
  // No axis, no ticks.
  EXPECT_TRUE(PlanLinearTicks(1, 1).values.empty());
  EXPECT_TRUE(PlanLinearTicks(2, 1).values.empty());
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
