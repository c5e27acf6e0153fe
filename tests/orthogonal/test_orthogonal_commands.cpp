// The orthogonal commands whole, through the runner: a golden trace each,
// the boxes they ask, their failure paths and their charts.
#include <gtest/gtest.h>

#include <string>

#include "commands/registry.h"
#include "desk/chart_plan.h"
#include "desk/scripted_dialogs.h"
#include "support/golden.h"

namespace matcalc {
namespace {

using testing::Golden;
using testing::MethodOutcome;
using testing::RunMethod;
using testing::SameText;

constexpr const char* kTextbook3x3 = "2 -2 18\r\n2 1 0\r\n1 2 0";
constexpr const char* kFourPoints = "0 1\r\n1 3\r\n2 4\r\n3 4";

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(OrthogonalCommands, GoldenTraces) {
  struct Case {
    const char* method;
    const char* text;
    std::vector<std::string> answers;
    const char* golden;
  };
  const Case cases[] = {
      {"householder-qr", kTextbook3x3, {"3", "3"}, "orthogonal/householder_3x3.txt"},
      {"givens-qr", kTextbook3x3, {"3", "2"}, "orthogonal/givens_3x2.txt"},
      {"gram-schmidt",
       "1 2 1\r\n1 2 0\r\n0 0 1",
       {"3", "3"},
       "orthogonal/gram_schmidt_dependent.txt"},
      {"least-squares",
       "1 0 1\r\n1 1 3\r\n1 2 4\r\n1 3 4",
       {"4", "2"},
       "orthogonal/least_squares_line.txt"},
      {"curve-fit", kFourPoints, {"4", "1"}, "orthogonal/curve_fit_line.txt"},
      {"qr-eigenvalues",
       "0 -2 0 1\r\n2 0 0 1\r\n0 0 3 1\r\n1 2 3 4",
       {"4", "1e-10", "400"},
       "orthogonal/qr_eigenvalues_4x4.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const MethodOutcome run = RunMethod(c.method, c.text, c.answers);
    EXPECT_TRUE(SameText(Golden(c.golden), run.text2));
  }
}

TEST(OrthogonalCommands, BoxesDefaultToTheTextsShape) {
  EXPECT_EQ(RunMethod("least-squares", "1 0 1\r\n1 1 3\r\n1 2 4").dialogs,
            "input\t输入数据\t输入方程组中方程的个数 m：\t3\t(cancel)\n");
  EXPECT_EQ(RunMethod("curve-fit", kFourPoints, {"4"}).dialogs,
            "input\t输入数据\t输入数据点的个数 m：\t4\t4\n"
            "input\t输入数据\t输入拟合多项式的次数 k：\t1\t(cancel)\n");
  EXPECT_EQ(RunMethod("qr-eigenvalues", "1 2\r\n3 4", {"2", "1e-12"}).dialogs,
            "input\t输入数据\t输入矩阵的阶数 n：\t3\t2\n"
            "input\t输入数据\t输入矩阵特征值的精度值 eps：\t1E-10\t1e-12\n"
            "input\t输入数据\t输入最大迭代次数 N：\t200\t(cancel)\n");
}

TEST(OrthogonalCommands, FailurePathsEndWithTheirLine) {
  struct Case {
    const char* method;
    const char* text;
    std::vector<std::string> answers;
    const char* last_line;
  };
  const Case cases[] = {
      {"householder-qr",
       "1 2 3\r\n4 5 6",
       {"2", "3"},
       "行数 m = 2 小于列数 n = 3，QR 分解要求 m ≥ n。"},
      {"givens-qr", "1 2 3\r\n4 5 6", {"2", "3"}, "行数 m = 2 小于列数 n = 3，QR 分解要求 m ≥ n。"},
      {"least-squares",
       "1 2 3 1\r\n4 5 6 1",
       {"2", "3"},
       "方程的个数 m = 2 少于未知数的个数 n = 3，最小二乘解要求 m ≥ n。"},
      // The second column twice the first; then a zero column.
      {"least-squares",
       "1 2 1\r\n2 4 0\r\n3 6 1",
       {"3", "2"},
       "系数矩阵的列不满秩，最小二乘解不唯一。"},
      {"least-squares",
       "0 1 1\r\n0 2 0\r\n0 3 1",
       {"3", "2"},
       "系数矩阵的列不满秩，最小二乘解不唯一。"},
      // Two distinct abscissas cannot fix a parabola.
      {"curve-fit",
       "1 1\r\n1 2\r\n2 3\r\n2 5",
       {"4", "2"},
       "数据点中只有 2 个不同的 x，不足以确定 2 次拟合多项式。"},
      {"gram-schmidt", "0 0\r\n0 0", {"2", "2"}, "矩阵的各列都是零向量，没有可单位化的向量。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const MethodOutcome run = RunMethod(c.method, c.text, c.answers);
    EXPECT_TRUE(EndsWith(run.text2, std::string("\r\n") + c.last_line + "\r\n")) << run.text2;
  }
  // A degree of m or more ends the command at its box.
  const MethodOutcome high = RunMethod("curve-fit", kFourPoints, {"4", "4"});
  EXPECT_FALSE(high.changed);
  // A zero column below the diagonal is skipped, not reflected.
  const MethodOutcome zero = RunMethod("householder-qr", "1 2\r\n0 3\r\n0 4", {"3", "2"});
  EXPECT_NE(zero.text2.find("第 1 步：σ = 1，第 1 行以下已全为零，本步跳过。\r\n"),
            std::string::npos);
}

TEST(OrthogonalCommands, QrMethodGivesUpWithTheQuestionAndNeedsNoIterationWhenTriangular) {
  const char* text = "1 2 3\r\n4 5 6\r\n7 8 10";
  const MethodOutcome dropped =
      RunMethod("qr-eigenvalues", text, {"3", "1e-14", "1"}, {Reply::kNo});
  EXPECT_TRUE(dropped.changed);
  EXPECT_EQ(dropped.text2, "");
  EXPECT_NE(dropped.dialogs.find("message\t警告\t此方法不适合这个矩阵"), std::string::npos);
  const MethodOutcome kept = RunMethod("qr-eigenvalues", text, {"3", "1e-14", "1"}, {Reply::kYes});
  EXPECT_NE(kept.text2.find("第 1 次 QR 迭代（活动块第 1 行至第 3 行）："), std::string::npos);
  EXPECT_EQ(kept.text2.find("第 2 次 QR 迭代"), std::string::npos);
  EXPECT_NE(kept.text2.find("此方法不适合这个矩阵，计算被迫终止。\r\n\r\n停止时的矩阵："),
            std::string::npos);

  // An entry that is not finite never lets a block split: the run gives up
  // where its trace has no more room, well before a limit this large.
  const MethodOutcome infinite = RunMethod("qr-eigenvalues", "1 2 3\r\n4 1/0 6\r\n7 8 10",
                                           {"3", "1e-10", "100000"}, {Reply::kYes});
  EXPECT_NE(infinite.text2.find("\r\n第 100 次 QR 迭代"), std::string::npos);
  EXPECT_EQ(infinite.text2.find("第 101 次 QR 迭代"), std::string::npos);
  EXPECT_NE(infinite.text2.find("迭代次数已达 100 次，超出了本程序为计算过程留出的空间。\r\n"
                                "此方法不适合这个矩阵，计算被迫终止。"),
            std::string::npos);

  const MethodOutcome triangular =
      RunMethod("qr-eigenvalues", "1 2 3\r\n0 -4 5\r\n0 0 6", {"3", "1e-10", "300"});
  EXPECT_EQ(triangular.text2.find("次 QR 迭代"), std::string::npos);
  EXPECT_TRUE(EndsWith(triangular.text2, "    λ1 = 6\r\n    λ2 = 1\r\n    λ3 = -4\r\n"));
}

// 施密特正交化 computes its β exactly (tests/orthogonal/test_exact_gram_schmidt).
TEST(OrthogonalCommands, ExactModeSaysTheyComputeInDecimals) {
  struct Case {
    const char* method;
    const char* text;
    std::vector<std::string> answers;
  };
  const Case cases[] = {
      {"householder-qr", kTextbook3x3, {"3", "3"}},
      {"givens-qr", kTextbook3x3, {"3", "3"}},
      {"least-squares", "1 0 1\r\n1 1 3\r\n1 2 4\r\n1 3 4", {"4", "2"}},
      {"curve-fit", kFourPoints, {"4", "1"}},
      {"qr-eigenvalues", kTextbook3x3, {"3", "1e-10", "300"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    ScriptedDialogs exact_dialogs(c.answers, {});
    const TraceBuffer exact = RunCommand(*FindCommand(c.method), exact_dialogs, c.text,
                                         std::string(), 6, {}, nullptr, true);
    const MethodOutcome decimal = RunMethod(c.method, c.text, c.answers);
    EXPECT_EQ(exact.text(), std::string(kDecimalMethodNote) + "\r\n" + decimal.text2);
  }
}

ConvergenceLog Charted(const char* method, const char* text, std::vector<std::string> answers) {
  ConvergenceLog log;
  ScriptedDialogs dialogs(std::move(answers), {});
  RunCommand(*FindCommand(method), dialogs, text, std::string(), 6, {}, &log);
  return log;
}

TEST(OrthogonalCommands, ChartsOfTheQrMethodAndTheCurveFit) {
  const ConvergenceLog qr =
      Charted("qr-eigenvalues", "0 -2 0 1\r\n2 0 0 1\r\n0 0 3 1\r\n1 2 3 4", {"4", "1e-10", "400"});
  const ChartPlan qr_plan = PlanChart(qr, "QR 方法求全部特征值");
  ASSERT_EQ(qr_plan.panels.size(), 1u);
  EXPECT_TRUE(qr_plan.panels[0].y.log_scale);
  EXPECT_EQ(qr_plan.panels[0].lines.size(), 3u);  // h(2,1), h(3,2), h(4,3)
  EXPECT_EQ(qr_plan.x.title, "迭代次数 k");

  const ConvergenceLog fit = Charted("curve-fit", kFourPoints, {"4", "1"});
  const ChartPlan plan = PlanChart(fit, "最小二乘曲线拟合");
  ASSERT_EQ(plan.panels.size(), 1u);
  ASSERT_EQ(plan.panels[0].lines.size(), 2u);
  const ChartLine& points = plan.panels[0].lines[0];
  const ChartLine& curve = plan.panels[0].lines[1];
  EXPECT_TRUE(points.scatter);
  EXPECT_EQ(points.points.size(), 4u);
  EXPECT_FALSE(curve.scatter);
  // The curve runs from the smallest x to the largest, through p(x) = 1.5 + x.
  EXPECT_EQ(curve.points.front().x, 0);
  EXPECT_EQ(curve.points.back().x, 3);
  EXPECT_EQ(curve.points.back().y, 4.5);
  EXPECT_EQ(plan.x.title, "x");
  EXPECT_FALSE(plan.panels[0].y.log_scale);
  EXPECT_NE(ChartPlanJson(plan).find("\"scatter\":true"), std::string::npos);
}

}  // namespace
}  // namespace matcalc
