// The series the iterative methods record equal the numbers of their traces:
// the power method's estimates are the ratios of its printed iterates, the
// Jacobi method's diagonal and largest off-diagonal magnitude those of its
// printed matrices. A run that gives up says where and why.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "eigenvalue/power_iteration.h"
#include "frame/convergence.h"
#include "support/golden.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

using testing::Golden;
using testing::SameText;
using testing::SplitCrLf;

struct SeriesRun {
  std::string text2;
  ConvergenceLog log;
};

SeriesRun RunWithSeries(std::string_view name, std::string_view text1,
                        std::vector<std::string> answers, std::vector<Reply> replies = {}) {
  SeriesRun run;
  ScriptedDialogs dialogs(std::move(answers), std::move(replies));
  run.text2 = RunCommand(*FindCommand(name), dialogs, text1, std::string(), 6, {}, &run.log).text();
  return run;
}

std::vector<std::string> Fields(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> fields;
  for (std::string field; in >> field;) fields.push_back(field);
  return fields;
}

double Value(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

const Series* Find(const ConvergenceLog& log, Quantity quantity, int component) {
  for (const Series& s : log.series()) {
    if (s.quantity == quantity && s.component == component) return &s;
  }
  return nullptr;
}

// The y of `series` at x, as the traces print numbers.
std::string At(const Series* series, double x) {
  if (series == nullptr) return "(no series)";
  for (const SeriesPoint& p : series->points) {
    if (p.x == x) return FormatNumber(p.y);
  }
  return "(no point)";
}

TEST(ConvergenceSeries, PowerEstimatesAreTheRatiosOfThePrintedIterates) {
  const SeriesRun run = RunWithSeries("power", "4 1 0\r\n1 3 1\r\n0 1 2", {"3", "0.0001"});
  ASSERT_TRUE(SameText(Golden("eigen/power_3x3.txt"), run.text2));
  const std::vector<std::string> lines = SplitCrLf(run.text2);
  std::vector<std::vector<std::string>> iterates(1);  // from 1
  std::string eigenvalue;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].starts_with("    第 ") && lines[i].ends_with(" 个分量是：")) {
      iterates.push_back({lines[i + 1], lines[i + 2], lines[i + 3]});
    }
    if (lines[i].starts_with("幂法求矩阵的主特征值是： ")) {
      eigenvalue = lines[i].substr(std::string("幂法求矩阵的主特征值是： ").size());
    }
  }
  const int last = static_cast<int>(iterates.size()) - 1;
  ASSERT_GT(last, 5);
  for (int j = 1; j <= 3; ++j) {
    const Series* estimates = Find(run.log, Quantity::kEstimate, j);
    ASSERT_NE(estimates, nullptr);
    EXPECT_EQ(estimates->points.size(), static_cast<std::size_t>(last - 2));
    for (int k = 3; k <= last; ++k) {
      const double ratio =
          RatioEstimate(Value(iterates[k][j - 1]), Value(iterates[k - 1][j - 1]), 6);
      EXPECT_EQ(At(estimates, k), FormatNumber(ratio)) << "iterate " << k << ", component " << j;
    }
  }
  EXPECT_EQ(At(Find(run.log, Quantity::kEigenvalue, 0), last), eigenvalue);
  EXPECT_FALSE(run.log.gave_up_at());
}

TEST(ConvergenceSeries, JacobiDiagonalAndOffDiagonalAreThoseOfThePrintedMatrices) {
  const SeriesRun run = RunWithSeries("jacobi", "2 -1 0\r\n-1 2 -1\r\n0 -1 2", {"3", "0.001"});
  ASSERT_TRUE(SameText(Golden("eigen/jacobi_tridiagonal.txt"), run.text2));
  const std::vector<std::string> lines = SplitCrLf(run.text2);
  const Series* off = Find(run.log, Quantity::kOffDiagonal, 0);
  int blocks = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool block =
        lines[i].starts_with("第 ") && lines[i].ends_with(" 次正交相似变换的矩阵A1：");
    const bool results = lines[i] == "以下矩阵中对角线元素即为所求的特征值：";
    if (!block && !results) continue;
    // Block k shows the matrix after pass k - 1; the results the last one.
    const double k = block ? Value(Fields(lines[i])[1]) : blocks;
    std::vector<std::vector<std::string>> rows;
    for (int r = 1; r <= 3; ++r) rows.push_back(Fields(lines[i + r]));
    for (int d = 1; d <= 3; ++d) {
      EXPECT_EQ(At(Find(run.log, Quantity::kDiagonal, d), k), rows[d - 1][d - 1]) << k;
    }
    double largest = 0;
    for (int r = 0; r < 3; ++r) {
      for (int c = r + 1; c < 3; ++c) largest = std::max(largest, std::fabs(Value(rows[r][c])));
    }
    EXPECT_EQ(At(off, k), FormatNumber(largest)) << k;
    if (block) ++blocks;
  }
  EXPECT_EQ(blocks, 7);
  EXPECT_EQ(off->points.size(), 8u);
  EXPECT_TRUE(run.log.counts_passes());
}

TEST(ConvergenceSeries, InversePowerRecordsEachApproximateEigenvalue) {
  const SeriesRun run = RunWithSeries("inverse-power", "2 0\r\n0 4", {"2", "0.0001"});
  const Series* mu = Find(run.log, Quantity::kApproximation, 0);
  ASSERT_NE(mu, nullptr);
  ASSERT_EQ(mu->points.size(), 2u);
  EXPECT_EQ(At(mu, 1), "0.5");
  EXPECT_NE(run.text2.find("    近似特征值：0.5\r\n"), std::string::npos);
}

// Whichever button answers the question, the series say where and why the
// method gave up.
TEST(ConvergenceSeries, RunsThatGiveUpSayWhereAndWhy) {
  for (const Reply reply : {Reply::kYes, Reply::kNo}) {
    const SeriesRun shift = RunWithSeries("shift", "2 0\r\n0 1", {"2", "0", "0"}, {reply});
    EXPECT_EQ(shift.log.gave_up_at(), 201);
    EXPECT_EQ(shift.log.why(), "参数选取不当，计算被迫终止，请重新选取");
    EXPECT_EQ(Find(shift.log, Quantity::kEigenvalue, 0), nullptr);
  }
  const SeriesRun jacobi =
      RunWithSeries("jacobi", "4 1 2\r\n1 3 1\r\n2 1 5", {"3", "0"}, {Reply::kYes});
  EXPECT_EQ(jacobi.log.gave_up_at(), 101);
  EXPECT_EQ(jacobi.log.why(), "此方法不适合这个矩阵，计算被迫终止，请重新选择其他方法");
  EXPECT_EQ(Find(jacobi.log, Quantity::kOffDiagonal, 0)->points.back().x, 101);

  // The next run starts from an empty log; a cancelled one leaves it empty.
  ConvergenceLog log = jacobi.log;
  ScriptedDialogs cancelled({}, {});
  RunCommand(*FindCommand("power"), cancelled, "1 2\r\n3 4", std::string(), 6, {}, &log);
  EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace matcalc
