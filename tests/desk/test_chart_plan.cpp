#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "desk/chart_plan.h"

namespace matcalc {
namespace {

TEST(ChartPlan, NothingRecordedIsEmpty) {
  const ChartPlan plan = PlanChart(ConvergenceLog(), "幂法");
  EXPECT_TRUE(plan.empty);
  EXPECT_TRUE(plan.panels.empty());
}

TEST(ChartPlan, EstimatesAndTheEigenvalueOnOneLinearPanel) {
  ConvergenceLog log;
  log.Add(Quantity::kEstimate, 1, 1, 2);
  log.Add(Quantity::kEstimate, 1, 2, 3);
  log.Add(Quantity::kEstimate, 1, 3, std::numeric_limits<double>::infinity());  // left out
  log.Add(Quantity::kEigenvalue, 0, 2, 1.0 / 3);
  const ChartPlan plan = PlanChart(log, "幂法");
  ASSERT_EQ(plan.panels.size(), 1u);
  const ChartPanel& panel = plan.panels[0];
  EXPECT_EQ(panel.title, "幂法：各分量的特征值估计");
  EXPECT_EQ(plan.x.title, "迭代次数 k");
  EXPECT_FALSE(panel.y.log_scale);
  ASSERT_EQ(panel.lines.size(), 2u);
  EXPECT_EQ(panel.lines[0].points.size(), 2u);
  EXPECT_TRUE(panel.lines[0].marked);
  // The eigenvalue's value as the traces print it.
  EXPECT_EQ(panel.lines[1].name, "特征值 = 0.333333333333333");
  EXPECT_TRUE(panel.lines[1].dot);
  // 1/3 .. 3 padded by 8% of the span.
  EXPECT_DOUBLE_EQ(panel.y.low, 1.0 / 3 - (3 - 1.0 / 3) * 0.08);
  EXPECT_DOUBLE_EQ(panel.y.high, 3 + (3 - 1.0 / 3) * 0.08);
  EXPECT_EQ(plan.x.low, 1);
  EXPECT_EQ(plan.x.high, 2);
  EXPECT_TRUE(plan.give_up.empty());
}

TEST(ChartPlan, JacobiGivingUpDrawsTwoPanelsAndSaysWhy) {
  ConvergenceLog log;
  Matrix a(9, 9);
  for (int i = 1; i <= 9; ++i) a(i, i) = i;
  log.Add(Quantity::kOffDiagonal, 0, 0, 0.5);
  log.Add(Quantity::kOffDiagonal, 0, 1, 0);  // not on a log scale
  log.Add(Quantity::kOffDiagonal, 0, 2, 2e-3);
  log.AddDiagonal(0, a, 9);
  log.GiveUp(7, "此方法不适合这个矩阵");
  const ChartPlan plan = PlanChart(log, "古典雅可比法");
  ASSERT_EQ(plan.panels.size(), 2u);
  EXPECT_EQ(plan.x.title, "变换次数 k");
  EXPECT_EQ(plan.x.high, 7);  // the give-up mark is in view
  const ChartAxis& y = plan.panels[0].y;
  EXPECT_TRUE(y.log_scale);
  EXPECT_EQ(y.low, -3);  // decades around 2E-3 .. 0.5
  EXPECT_EQ(y.high, 0);
  EXPECT_EQ(plan.panels[0].lines[0].points.size(), 2u);
  EXPECT_EQ(plan.panels[1].title, "古典雅可比法：各次变换后的对角元");
  EXPECT_EQ(plan.panels[1].lines.size(), static_cast<std::size_t>(kMostChartComponents));
  EXPECT_EQ(plan.more, "只画出前 8 个分量；全部数据可用 matcalc-cli --series 导出。");
  EXPECT_EQ(plan.give_up, "未收敛：此方法不适合这个矩阵（第 7 次变换后放弃）");
  ASSERT_TRUE(plan.gave_up_at);
  EXPECT_EQ(*plan.gave_up_at, 7);
}

TEST(ChartPlan, JsonForThePage) {
  ConvergenceLog log;
  log.Add(Quantity::kApproximation, 0, 1, 4);
  EXPECT_EQ(ChartPlanJson(PlanChart(log, "反幂法")),
            "{\"empty\":false,\"x\":{\"title\":\"迭代次数 k\",\"log\":false,\"low\":1,"
            "\"high\":2},\"panels\":[{\"title\":\"反幂法：近似特征值\",\"y\":{\"title\":"
            "\"近似特征值\",\"log\":false,\"low\":3,\"high\":5},\"lines\":[{\"name\":"
            "\"近似特征值\",\"dot\":false,\"marked\":true,\"points\":[[1,4]]}]}],"
            "\"gaveUpAt\":null,\"giveUp\":\"\",\"more\":\"\"}");
}

}  // namespace
}  // namespace matcalc
