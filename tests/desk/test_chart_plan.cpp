#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "desk/chart_plan.h"
#include "desk/series_formats.h"

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

// The iterative solvers: the error on a log scale above, each component of
// the iterate (from x0 on) below; in the series file by their names.
TEST(ChartPlan, IterativeSolversErrorAboveComponentsBelow) {
  ConvergenceLog log;
  Vector x(2);
  x(1) = 0.5;
  log.AddVector(Quantity::kComponent, 0, x);
  log.Add(Quantity::kError, 0, 1, 1E-05);
  log.GiveUp(1, "迭代 1 次仍未达到精度要求，计算被迫终止");
  EXPECT_FALSE(log.counts_passes());
  EXPECT_EQ(SeriesCsv(log),
            "series,x,y\n"
            "x1,0,0.5\n"
            "x2,0,0\n"
            "误差,1,1E-05\n"
            "未收敛,1,1\n");
  EXPECT_NE(SeriesJson(log).find("{\"name\":\"误差\",\"quantity\":\"error\",\"component\":0,"
                                 "\"points\":[[1,1E-05]]}"),
            std::string::npos);
  const ChartPlan plan = PlanChart(log, "雅可比迭代法");
  ASSERT_EQ(plan.panels.size(), 2u);
  EXPECT_EQ(plan.x.title, "迭代次数 k");
  EXPECT_EQ(plan.panels[0].title, "雅可比迭代法：迭代误差（对数刻度）");
  EXPECT_EQ(plan.panels[0].y.title, "误差");
  EXPECT_TRUE(plan.panels[0].y.log_scale);
  EXPECT_EQ(plan.panels[1].title, "雅可比迭代法：各次迭代向量的分量");
  EXPECT_EQ(plan.panels[1].y.title, "分量");
  EXPECT_FALSE(plan.panels[1].y.log_scale);
  ASSERT_EQ(plan.panels[1].lines.size(), 2u);
  EXPECT_EQ(plan.panels[1].lines[1].name, "x2");
}

// A solver that diverged at its first step has no error to draw; its upper
// panel is still the error's, on a log scale.
TEST(ChartPlan, ASolverDivergedAtOnceKeepsItsErrorPanel) {
  ConvergenceLog log;
  Vector x(1);
  log.AddVector(Quantity::kComponent, 0, x);
  log.GiveUp(1, "迭代发散");
  const ChartPlan plan = PlanChart(log, "高斯-赛德尔迭代法");
  ASSERT_EQ(plan.panels.size(), 2u);
  EXPECT_EQ(plan.panels[0].title, "高斯-赛德尔迭代法：迭代误差（对数刻度）");
  EXPECT_TRUE(plan.panels[0].y.log_scale);
}

// Values near the limits of a double are drawn, all of them, on axes with
// finite ends; only the power methods' stand-in for a ratio with a
// vanishing denominator is no estimate and is left out.
TEST(ChartPlan, ValuesNearTheLimitsOfADoubleAreDrawn) {
  const double largest = std::numeric_limits<double>::max();
  ConvergenceLog diverged;
  Vector x(2);
  for (int k = 0; k <= 4; ++k) {
    x(1) = (k % 2 == 0 ? 1 : -1) * largest / (1 << (4 - k));
    x(2) = -x(1);
    diverged.AddVector(Quantity::kComponent, k, x);
    if (k > 0) diverged.Add(Quantity::kError, 0, k, k == 1 ? 4.9e-324 : largest / (1 << (4 - k)));
  }
  diverged.GiveUp(4, "迭代发散：下一次迭代向量的分量超出了数的范围");
  const ChartPlan plan = PlanChart(diverged, "雅可比迭代法");
  ASSERT_EQ(plan.panels.size(), 2u);
  const ChartAxis& error = plan.panels[0].y;
  EXPECT_EQ(plan.panels[0].lines[0].points.size(), 4u);
  EXPECT_EQ(error.decades.low, -324);
  EXPECT_EQ(error.decades.high, 309);
  EXPECT_EQ(error.decades.labels.back(), "1E+300");
  const ChartAxis& components = plan.panels[1].y;
  for (const ChartLine& line : plan.panels[1].lines) EXPECT_EQ(line.points.size(), 5u);
  EXPECT_EQ(components.low, -largest);
  EXPECT_EQ(components.high, largest);
  EXPECT_EQ(components.ticks.labels, (std::vector<std::string>{"-1E+308", "0", "1E+308"}));
  EXPECT_EQ(plan.x.ticks.labels, (std::vector<std::string>{"0", "1", "2", "3", "4"}));

  ConvergenceLog power;
  power.Add(Quantity::kEstimate, 1, 1, 1.79769313486231e308);  // the stand-in
  power.Add(Quantity::kEstimate, 1, 2, 1e305);
  power.Add(Quantity::kEstimate, 1, 3, -1e305);
  const ChartPlan estimates = PlanChart(power, "幂法");
  ASSERT_EQ(estimates.panels[0].lines[0].points.size(), 2u);
  EXPECT_EQ(estimates.panels[0].lines[0].points[0].x, 2);
  EXPECT_LT(estimates.panels[0].y.low, -1e305);
  EXPECT_GT(estimates.panels[0].y.high, 1e305);
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

TEST(ChartPlan, ALogAxisCarriesTheDecadesItLabels) {
  ConvergenceLog log;
  log.Add(Quantity::kError, 0, 1, 0.5);
  log.Add(Quantity::kError, 0, 2, 2e-3);
  const ChartPlan plan = PlanChart(log, "雅可比迭代法");
  ASSERT_FALSE(plan.panels.empty());
  const ChartAxis& y = plan.panels[0].y;
  ASSERT_TRUE(y.log_scale);
  EXPECT_EQ(y.decades.labels, (std::vector<std::string>{"1E-3", "1E-2", "1E-1", "1"}));
  EXPECT_NE(ChartPlanJson(plan).find("\"log\":true,\"low\":-3,\"high\":0,\"exponents\":[-3,-2,-1,"
                                     "0],\"labels\":[\"1E-3\",\"1E-2\",\"1E-1\",\"1\"]"),
            std::string::npos);
}

}  // namespace
}  // namespace matcalc
