#include <gtest/gtest.h>

#include <limits>

#include "desk/series_formats.h"
#include "frame/convergence.h"

namespace matcalc {
namespace {

TEST(ConvergenceLog, SeriesKeepTheOrderTheyFirstAppearIn) {
  ConvergenceLog log;
  Vector e(2);
  e(1) = 2.5;
  e(2) = 1.0 / 3;
  log.AddVector(Quantity::kEstimate, 3, e);
  e(1) = 3;
  log.AddVector(Quantity::kEstimate, 4, e);
  log.Add(Quantity::kEigenvalue, 0, 4, 3);
  ASSERT_EQ(log.series().size(), 3u);
  EXPECT_EQ(SeriesName(log.series()[0]), "第 1 个分量的估计值");
  EXPECT_EQ(SeriesName(log.series()[1]), "第 2 个分量的估计值");
  EXPECT_EQ(SeriesName(log.series()[2]), "特征值");
  EXPECT_FALSE(log.counts_passes());
  // Numbers as the traces print them: 15 significant digits.
  EXPECT_EQ(SeriesCsv(log),
            "series,x,y\n"
            "第 1 个分量的估计值,3,2.5\n"
            "第 1 个分量的估计值,4,3\n"
            "第 2 个分量的估计值,3,0.333333333333333\n"
            "第 2 个分量的估计值,4,0.333333333333333\n"
            "特征值,4,3\n");
}

TEST(ConvergenceLog, PassesGivingUpAndTheDisabledLog) {
  ConvergenceLog log;
  Matrix a(2, 2);
  a(1, 1) = 1e-30;
  a(2, 2) = -4;
  log.Add(Quantity::kOffDiagonal, 0, 0, 0.5);
  log.AddDiagonal(0, a, 2);
  log.GiveUp(101, "此方法不适合这个矩阵，计算被迫终止");
  EXPECT_TRUE(log.counts_passes());
  EXPECT_EQ(SeriesCsv(log),
            "series,x,y\n"
            "非对角元的最大模,0,0.5\n"
            "第 1 个对角元,0,1E-30\n"
            "第 2 个对角元,0,-4\n"
            "未收敛,101,1\n");
  EXPECT_EQ(SeriesJson(log),
            "{\"passes\":true,\"gaveUp\":101,\"why\":\"此方法不适合这个矩阵，计算被迫终止\","
            "\"series\":[{\"name\":\"非对角元的最大模\",\"quantity\":\"offDiagonal\","
            "\"component\":0,\"points\":[[0,0.5]]},{\"name\":\"第 1 个对角元\","
            "\"quantity\":\"diagonal\",\"component\":1,\"points\":[[0,1E-30]]},"
            "{\"name\":\"第 2 个对角元\",\"quantity\":\"diagonal\",\"component\":2,"
            "\"points\":[[0,-4]]}]}");
  log.Clear();
  EXPECT_TRUE(log.empty());
  log.Add(Quantity::kApproximation, 0, 1, std::numeric_limits<double>::infinity());
  EXPECT_EQ(SeriesJson(log),
            "{\"passes\":false,\"gaveUp\":null,\"why\":\"\",\"series\":[{\"name\":"
            "\"近似特征值\",\"quantity\":\"approximation\",\"component\":0,"
            "\"points\":[[1,null]]}]}");
  log.Clear();
  EXPECT_EQ(SeriesCsv(log), "series,x,y\n");

  ConvergenceLog off(false);
  off.Add(Quantity::kApproximation, 0, 1, 2);
  off.GiveUp(1, "x");
  EXPECT_TRUE(off.empty());
}

}  // namespace
}  // namespace matcalc
