// The iterative solvers as commands: their traces, their boxes, their
// endings, the series they record, their budgets and progress.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "cli/runner.h"
#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "desk/series_formats.h"
#include "frame/convergence.h"
#include "support/golden.h"
#include "support/orders.h"
#include "systems/iterative.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

using testing::CrLfLines;
using testing::Golden;
using testing::MethodOutcome;
using testing::RunMethod;
using testing::SameText;
using testing::SplitCrLf;

// 10x1 - x2 - 2x3 = 7.2, -x1 + 10x2 - 2x3 = 8.3, -x1 - x2 + 5x3 = 4.2:
// x = (1.1, 1.2, 1.3).
constexpr const char* kTextbook = "10 -1 -2 7.2\r\n-1 10 -2 8.3\r\n-1 -1 5 4.2";
constexpr const char* kDivergent = "1 10 1\r\n10 1 1";

constexpr const char* kAskOrder = "input\t输入数据\t输入方程组的阶数 n：\t3\t";
constexpr const char* kAskEps = "input\t输入数据\t输入解向量的精度值 eps：\t0.0001\t";
constexpr const char* kAskLimit = "input\t输入数据\t输入最大迭代次数 N：\t100\t";
constexpr const char* kAskOmega = "input\t输入参数\t输入松弛因子 ω（0 < ω < 2）：\t1.2\t";
// The box of component i of x0, up to its answer.
std::string AskStart(int i) {
  return "input\t输入数据\t输入初始向量值 x" + std::to_string(i) + "：\\n   默认为 0\t0\t";
}
constexpr const char* kOmegaBox = "message\t输入值错误\t松弛因子 ω 必须满足 0 < ω < 2。\tok\tok\n";
constexpr const char* kDiagonalBox =
    "message\t\t系数矩阵的对角元素不能为零，此方法不合适。\tok\tok\n";
constexpr const char* kRefusal = "message\t\t阶数太大，超出了本程序的计算能力。\tok\tok\n";

const char* const kMethods[] = {"jacobi-iteration", "gauss-seidel", "sor"};

// The answers up to the matrix: order, eps, N and, for sor, w.
std::vector<std::string> Answers(std::string_view method, std::string order, std::string eps,
                                 std::string limit, std::string omega = "1.2") {
  std::vector<std::string> answers{std::move(order), std::move(eps), std::move(limit)};
  if (method == "sor") answers.push_back(std::move(omega));
  return answers;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(IterativeSolvers, TextbookSystemTraces) {
  EXPECT_TRUE(SameText(Golden("systems/jacobi_iteration_3x3.txt"),
                       RunMethod("jacobi-iteration", kTextbook, {"3", "0.0001", "100"}).text2));
  EXPECT_TRUE(SameText(Golden("systems/gauss_seidel_3x3.txt"),
                       RunMethod("gauss-seidel", kTextbook, {"3", "0.0001", "100"}).text2));
  // SOR from a starting vector answered in part, at 4 digits.
  EXPECT_TRUE(
      SameText(Golden("systems/sor_3x3.txt"),
               RunMethod("sor", kTextbook, {"3", "1e-6", "100", "1.1", "1", "-0.5"}, {}, 4).text2));
}

// The iterates recomputed here with plain loops on 0-based arrays: the
// number of steps and the solution printed agree with the trace.
struct System {
  int n;
  std::vector<double> rows;  // n rows of n + 1 numbers
};

int Recompute(const System& s, int method, double omega, double eps, std::vector<double>& x) {
  const int n = s.n;
  auto at = [&](int i, int j) { return s.rows[static_cast<std::size_t>(i * (n + 1) + j)]; };
  x.assign(static_cast<std::size_t>(n), 0.0);
  for (int k = 1; k <= 1000; ++k) {
    std::vector<double> old = x;
    std::vector<double> next(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      double s_i = 0;
      for (int j = 0; j < n; ++j) {
        if (j == i) continue;
        const double xj = (method > 0 && j < i) ? next[static_cast<std::size_t>(j)]
                                                : old[static_cast<std::size_t>(j)];
        s_i = s_i + at(i, j) * xj;
      }
      const double g = (at(i, n) - s_i) / at(i, i);
      next[static_cast<std::size_t>(i)] =
          method == 2 ? (1 - omega) * old[static_cast<std::size_t>(i)] + omega * g : g;
    }
    double change = 0;
    for (int i = 0; i < n; ++i) {
      change = std::max(
          change, std::fabs(next[static_cast<std::size_t>(i)] - old[static_cast<std::size_t>(i)]));
    }
    x = next;
    if (change < eps) return k;
  }
  return 0;
}

std::string Text(const System& s) {
  std::string text;
  for (int i = 0; i < s.n; ++i) {
    for (int j = 0; j <= s.n; ++j) {
      text += FormatNumber(s.rows[static_cast<std::size_t>(i * (s.n + 1) + j)]) + ' ';
    }
    text += "\r\n";
  }
  return text;
}

TEST(IterativeSolvers, IterationCountsAndSolutionsMatchARecomputation) {
  std::vector<System> systems{{3, {10, -1, -2, 7.2, -1, 10, -2, 8.3, -1, -1, 5, 4.2}}};
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> entry(-9, 9);
  for (int n = 1; n <= 6; ++n) {
    System s{n, {}};
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j <= n; ++j) s.rows.push_back(i == j ? 12 * n + entry(rng) : entry(rng));
    }
    systems.push_back(s);
  }
  for (const System& s : systems) {
    for (int method = 0; method < 3; ++method) {
      for (const double eps : {1e-3, 1e-8}) {
        const double omega = 1.15;
        std::vector<double> x;
        const int k = Recompute(s, method, omega, eps, x);
        ASSERT_GT(k, 0);
        const std::string name = kMethods[method];
        const MethodOutcome run =
            RunMethod(name, Text(s),
                      Answers(name, std::to_string(s.n), FormatNumber(eps), "1000", "1.15"), {}, 9);
        std::string tail =
            "迭代 " + std::to_string(k) + " 次后满足精度要求，方程组的近似解是：\r\n";
        for (int i = 0; i < s.n; ++i) {
          tail += "    x" + std::to_string(i + 1) + " = " +
                  FormatNumber(RoundTo(x[static_cast<std::size_t>(i)], 9)) + "\r\n";
        }
        EXPECT_TRUE(EndsWith(run.text2, tail)) << name << " n " << s.n << " eps " << eps;
      }
    }
  }
  // The textbook solution.
  const MethodOutcome run = RunMethod("gauss-seidel", kTextbook, {"3", "1e-10", "100"});
  EXPECT_TRUE(EndsWith(run.text2, "    x1 = 1.1\r\n    x2 = 1.2\r\n    x3 = 1.3\r\n"));
}

TEST(IterativeSolvers, BoxesInOrder) {
  const MethodOutcome jacobi = RunMethod("jacobi-iteration", kTextbook, {"3", "0.001", "50", "2"});
  EXPECT_EQ(jacobi.dialogs, std::string(kAskOrder) + "3\n" + kAskEps + "0.001\n" + kAskLimit +
                                "50\n" + AskStart(1) + "2\n" + AskStart(2) + "(cancel)\n");
  const MethodOutcome sor = RunMethod("sor", kTextbook, {"3", "0.001", "50", "1.5", "1", "2", "3"});
  EXPECT_EQ(sor.dialogs, std::string(kAskOrder) + "3\n" + kAskEps + "0.001\n" + kAskLimit + "50\n" +
                             kAskOmega + "1.5\n" + AskStart(1) + "1\n" + AskStart(2) + "2\n" +
                             AskStart(3) + "3\n");
  // A factor outside (0, 2) is explained and asked again, as often as it
  // takes; the dialogue goes on with the one accepted.
  const MethodOutcome again =
      RunMethod("sor", kTextbook, {"3", "0.001", "50", "2", "-1", "1.5", "", ""});
  EXPECT_EQ(again.dialogs, std::string(kAskOrder) + "3\n" + kAskEps + "0.001\n" + kAskLimit +
                               "50\n" + kAskOmega + "2\n" + kOmegaBox + kAskOmega + "-1\n" +
                               kOmegaBox + kAskOmega + "1.5\n" + AskStart(1) + "\n");
  EXPECT_NE(again.text2.find("eps = 0.001，N = 50\r\nω = 1.5\r\n    ρ(B) = "), std::string::npos);
  // The order offered is the text's number of rows.
  EXPECT_EQ(RunMethod("gauss-seidel", "4 1 0 0 1\r\n1 4 1 0 1\r\n0 1 4 1 1\r\n0 0 1 4 1").dialogs,
            "input\t输入数据\t输入方程组的阶数 n：\t4\t(cancel)\n");
  // Every number is a starting value, 0 and text that reads as 0 included;
  // an empty answer stops the questions and the rest stay 0.
  const MethodOutcome start = RunMethod("gauss-seidel", kTextbook, {"3", "0.001", "50", "abc", ""});
  EXPECT_NE(start.text2.find("接下来输出初始向量值：\r\n" + Field24(0) + "\r\n" + Field24(0) +
                             "\r\n" + Field24(0) + "\r\n\r\n"),
            std::string::npos);
  const MethodOutcome partly =
      RunMethod("gauss-seidel", kTextbook, {"3", "0.001", "50", "2.5", ""});
  EXPECT_NE(partly.text2.find("接下来输出初始向量值：\r\n" + Field24(2.5) + "\r\n" + Field24(0) +
                              "\r\n" + Field24(0) + "\r\n\r\n"),
            std::string::npos);
}

// Each box before the trace: a cancel, an empty answer and a value the
// command cannot take end it with both panes as they were.
TEST(IterativeSolvers, EveryEndingBoxLeavesThePanes) {
  struct Case {
    std::vector<std::string> answers;
    const char* last_box;  // the message shown, if any
  };
  for (const char* method : kMethods) {
    SCOPED_TRACE(method);
    const bool sor = std::string_view(method) == "sor";
    std::vector<Case> cases = {
        {{}, nullptr},
        {{""}, nullptr},
        {{"0"}, nullptr},
        {{"-2"}, nullptr},
        {{"abc"}, nullptr},
        {{"40000"}, nullptr},
        {{"3"}, nullptr},
        {{"3", ""}, nullptr},
        {{"3", "0.001"}, nullptr},
        {{"3", "0.001", ""}, nullptr},
        {{"3", "0.001", "0"}, nullptr},
        {{"3", "0.001", "-5"}, nullptr},
        {{"3", "0.001", "x"}, nullptr},
        {{"3", "0.001", "99999"}, nullptr},
    };
    // The factor is asked again after the box; cancelled, the command ends.
    const std::string omega_again = std::string(kOmegaBox) + kAskOmega + "(cancel)\n";
    if (sor) {
      for (const char* omega : {"0", "2", "-0.5", "2.5", "abc"}) {
        cases.push_back({{"3", "0.001", "10", omega}, omega_again.c_str()});
      }
      cases.push_back({{"3", "0.001", "10"}, nullptr});
      cases.push_back({{"3", "0.001", "10", ""}, nullptr});
    }
    for (const Case& c : cases) {
      const MethodOutcome run = RunMethod(method, kTextbook, c.answers);
      EXPECT_FALSE(run.changed) << c.answers.size();
      EXPECT_EQ(run.text2, "previous result");
      if (c.last_box != nullptr) {
        EXPECT_TRUE(EndsWith(run.dialogs, c.last_box)) << run.dialogs;
      }
      EXPECT_EQ(run.dialogs.find("message"),
                c.last_box != nullptr ? run.dialogs.find(c.last_box) : std::string::npos);
    }
  }
  // Just inside the interval is accepted.
  EXPECT_TRUE(RunMethod("sor", kTextbook, {"3", "0.001", "10", "1.999"}).changed);
  EXPECT_TRUE(RunMethod("sor", kTextbook, {"3", "0.001", "10", "1e-9"}).changed);
}

TEST(IterativeSolvers, ZeroDiagonalEndsAfterTheParameters) {
  for (const char* method : kMethods) {
    SCOPED_TRACE(method);
    const MethodOutcome run =
        RunMethod(method, "4 1 1\r\n1 0 1\r\n1 1 4", Answers(method, "2", "0.001", "10"));
    EXPECT_FALSE(run.changed);
    EXPECT_TRUE(EndsWith(run.dialogs, kDiagonalBox)) << run.dialogs;
    EXPECT_EQ(run.dialogs.find("初始向量"), std::string::npos);
  }
  // Only the diagonal counts: a zero elsewhere, or in b, is fine; a value
  // that is not a number is no divisor either.
  EXPECT_TRUE(RunMethod("jacobi-iteration", "4 0 0\r\n0 4 0", {"2", "0.001", "10"}).changed);
  EXPECT_FALSE(RunMethod("jacobi-iteration", "1 1 1\r\n1 sqr(-1) 1", {"2", "0.001", "10"}).changed);
}

TEST(IterativeSolvers, DivergenceEndsWithItsLine) {
  for (const char* method : {"jacobi-iteration", "gauss-seidel"}) {
    SCOPED_TRACE(method);
    const MethodOutcome run =
        RunMethod(method, kDivergent, Answers(method, "2", "0.0001", "32767"));
    const std::vector<std::string> lines = SplitCrLf(run.text2);
    EXPECT_EQ(lines[4], "eps = 0.0001，N = 32767");
    EXPECT_EQ(lines[5],
              "    ρ(B) = " + FormatNumber(std::string_view(method) == "gauss-seidel" ? 100 : 10));
    EXPECT_EQ(lines[6], "ρ(B) ≥ 1，迭代一般不收敛。");
    EXPECT_EQ(lines[7], "");
    // The last iterate printed is finite; the next is not and is named.
    const std::size_t at = run.text2.rfind("迭代发散：第 ");
    ASSERT_NE(at, std::string::npos);
    const int k = std::atoi(run.text2.c_str() + at + std::string("迭代发散：第 ").size());
    EXPECT_GT(k, 100);
    EXPECT_TRUE(EndsWith(run.text2, "\r\n\r\n\r\n迭代发散：第 " + std::to_string(k) +
                                        " 次迭代向量的分量超出了数的范围。\r\n"));
    EXPECT_NE(run.text2.find("    第 " + std::to_string(k - 1) + " 次迭代向量是："),
              std::string::npos);
    EXPECT_EQ(run.text2.find("    第 " + std::to_string(k) + " 次迭代向量是："), std::string::npos);
    EXPECT_EQ(run.text2.find("Infinity"), std::string::npos);
    EXPECT_EQ(run.text2.find("近似解"), std::string::npos);
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos);
  }
  // A starting value beyond the doubles diverges at the first step.
  const MethodOutcome at_once =
      RunMethod("jacobi-iteration", kTextbook, {"3", "0.001", "10", "1e999"});
  EXPECT_TRUE(EndsWith(at_once.text2,
                       "接下来输出各迭代向量：\r\n\r\n"
                       "迭代发散：第 1 次迭代向量的分量超出了数的范围。\r\n"));
}

TEST(IterativeSolvers, LimitAsksWhetherToKeepTheTrace) {
  const std::string question =
      "message\t警告\t迭代 3 次仍未达到精度要求，计算被迫终止。\\n结果是否还要查看？\tyesno\t";
  for (const char* method : kMethods) {
    SCOPED_TRACE(method);
    const std::vector<std::string> answers = Answers(method, "3", "1e-12", "3");
    const MethodOutcome kept = RunMethod(method, kTextbook, answers, {Reply::kYes});
    EXPECT_TRUE(EndsWith(kept.dialogs, question + "yes\n")) << kept.dialogs;
    const std::string last = kept.text2.substr(kept.text2.rfind("    第 "));
    EXPECT_EQ(last.rfind("    第 3 次迭代向量是：\r\n", 0), 0u);
    EXPECT_TRUE(EndsWith(last, "\r\n\r\n"));
    EXPECT_EQ(kept.text2.find("近似解"), std::string::npos);

    const MethodOutcome dropped = RunMethod(method, kTextbook, answers, {Reply::kNo});
    EXPECT_TRUE(dropped.changed);
    EXPECT_EQ(dropped.text2, "");
    EXPECT_TRUE(EndsWith(dropped.dialogs, question + "no\n"));
  }
  // Success at the limit itself ends with the solution, no question; N = 1
  // is a limit like any other.
  const MethodOutcome exact = RunMethod("jacobi-iteration", "2 4", {"1", "0.001", "2"});
  EXPECT_TRUE(
      EndsWith(exact.text2, "迭代 2 次后满足精度要求，方程组的近似解是：\r\n    x1 = 2\r\n"));
  const MethodOutcome one = RunMethod("jacobi-iteration", "2 4", {"1", "0", "1"}, {Reply::kYes});
  EXPECT_NE(one.dialogs.find("迭代 1 次仍未达到精度要求"), std::string::npos);
}

TEST(IterativeSolvers, ConvergenceTheoryLines) {
  const std::string heading = "以上是所要求解的方程组的增广矩阵，接下来输出迭代矩阵的谱半径：";
  const std::string dominant = "系数矩阵严格对角占优，雅可比迭代法与高斯-赛德尔迭代法都收敛。";
  // Dominant: the parameters, the radius below 1 and the dominance line, for
  // SOR too, whose factor has a line of its own.
  for (const char* method : kMethods) {
    const std::vector<std::string> lines = SplitCrLf(
        RunMethod(method, kTextbook, Answers(method, "3", "0.1", "5"), {Reply::kYes}).text2);
    const std::size_t r = std::string_view(method) == "sor" ? 7 : 6;
    EXPECT_EQ(lines[4], heading);
    EXPECT_EQ(lines[5], "eps = 0.1，N = 5");
    if (r == 7) EXPECT_EQ(lines[6], "ω = 1.2");
    EXPECT_EQ(lines[r + 1], "ρ(B) < 1，迭代收敛。") << method;
    EXPECT_EQ(lines[r + 2], dominant) << method;
    EXPECT_EQ(lines[r + 3], "");
    EXPECT_EQ(lines[r + 4], "接下来输出初始向量值：");
  }
  // Not dominant (row 2 ties) but convergent: no dominance line.
  const std::vector<std::string> tie = SplitCrLf(
      RunMethod("gauss-seidel", "2 1 3\r\n1 1 2", {"2", "0.1", "5"}, {Reply::kYes}).text2);
  EXPECT_EQ(tie[3], heading);
  EXPECT_EQ(tie[5], "    ρ(B) = 0.5");
  EXPECT_EQ(tie[6], "ρ(B) < 1，迭代收敛。");
  EXPECT_EQ(tie[7], "");
  // A rotation: rho exactly 1 is not below 1.
  const std::vector<std::string> rotation = SplitCrLf(
      RunMethod("jacobi-iteration", "1 -1 0\r\n1 1 2", {"2", "0.1", "5"}, {Reply::kYes}).text2);
  EXPECT_EQ(rotation[5], "    ρ(B) = 1");
  EXPECT_EQ(rotation[6], "ρ(B) ≥ 1，迭代一般不收敛。");
  // The radius is rounded to D where it is printed, the decision is not.
  const std::vector<std::string> close = SplitCrLf(
      RunMethod("jacobi-iteration", "1 -0.99999999 0\r\n1 1 2", {"2", "0.1", "5"}, {Reply::kYes}, 3)
          .text2);
  EXPECT_EQ(close[5], "    ρ(B) = 1");
  EXPECT_EQ(close[6], "ρ(B) < 1，迭代收敛。");
  // Entries whose quotients overflow leave no radius to print.
  const std::vector<std::string> huge =
      SplitCrLf(RunMethod("jacobi-iteration", "1e-300 1e300 1\r\n0 1 1", {"2", "0.1", "5"}).text2);
  EXPECT_EQ(huge[5], "    未能求出 ρ(B)：迭代矩阵的元素超出了数的范围。");
  EXPECT_EQ(huge[6], "");
}

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

const Series* Find(const ConvergenceLog& log, Quantity quantity, int component) {
  for (const Series& s : log.series()) {
    if (s.quantity == quantity && s.component == component) return &s;
  }
  return nullptr;
}

TEST(IterativeSolvers, SeriesAreTheTracesNumbers) {
  const SeriesRun run = RunWithSeries("jacobi-iteration", kTextbook, {"3", "0.0001", "100"});
  const Series* error = Find(run.log, Quantity::kError, 0);
  ASSERT_NE(error, nullptr);
  ASSERT_EQ(error->points.size(), 10u);
  const std::vector<std::string> lines = SplitCrLf(run.text2);
  std::size_t k = 0;
  for (const std::string& line : lines) {
    const std::string label = "    误差 ‖x(k) − x(k−1)‖∞ = ";
    if (line.rfind(label, 0) != 0) continue;
    EXPECT_EQ(error->points[k].x, static_cast<double>(k + 1));
    EXPECT_EQ(FormatNumber(error->points[k].y), line.substr(label.size()));
    ++k;
  }
  EXPECT_EQ(k, 10u);
  for (int i = 1; i <= 3; ++i) {
    const Series* x = Find(run.log, Quantity::kComponent, i);
    ASSERT_NE(x, nullptr);
    ASSERT_EQ(x->points.size(), 11u);
    EXPECT_EQ(x->points[0].x, 0);
    EXPECT_EQ(x->points[0].y, 0);
    EXPECT_NEAR(x->points[10].y, 1 + 0.1 * i, 1e-4);
    EXPECT_EQ(SeriesName(*x), "x" + std::to_string(i));
  }
  EXPECT_FALSE(run.log.gave_up_at().has_value());
  EXPECT_FALSE(run.log.counts_passes());

  const SeriesRun diverged = RunWithSeries("jacobi-iteration", kDivergent, {"2", "0", "32767"});
  ASSERT_TRUE(diverged.log.gave_up_at().has_value());
  // It gives up after the last iterate written, and names no later one.
  const double at = *diverged.log.gave_up_at();
  EXPECT_EQ(Find(diverged.log, Quantity::kError, 0)->points.back().x, at);
  EXPECT_EQ(Find(diverged.log, Quantity::kComponent, 1)->points.back().x, at);
  EXPECT_NE(diverged.text2.find("    第 " + FormatNumber(at) + " 次迭代向量是："),
            std::string::npos);
  EXPECT_EQ(diverged.text2.find("    第 " + FormatNumber(at + 1) + " 次迭代向量是："),
            std::string::npos);
  EXPECT_EQ(diverged.log.why(), "迭代发散：下一次迭代向量的分量超出了数的范围");

  const SeriesRun limited = RunWithSeries("sor", kTextbook, {"3", "0", "7", "1.2"}, {Reply::kYes});
  EXPECT_EQ(limited.log.gave_up_at(), 7);
  EXPECT_EQ(limited.log.why(), "迭代 7 次仍未达到精度要求，计算被迫终止");
}

TEST(IterativeSolvers, EstimatesRefuseBeforeAnyWorkAndHoldTheTrace) {
  // An order too large for even one step is refused at once.
  const MethodOutcome order = RunMethod("jacobi-iteration", kTextbook, {"20000", "0.1", "10"});
  EXPECT_FALSE(order.changed);
  EXPECT_EQ(order.dialogs, std::string(kAskOrder) + "20000\n" + kRefusal);
  // A limit whose iterates would not fit is refused after its box.
  const MethodOutcome limit = RunMethod("sor", kTextbook, {"1500", "0.1", "32767", "1.2"});
  EXPECT_FALSE(limit.changed);
  EXPECT_EQ(limit.dialogs, std::string(kAskOrder) + "1500\n" + kAskEps + "0.1\n" + kAskLimit +
                               "32767\n" + kRefusal);
  EXPECT_TRUE(FitsBudget(testing::RunnerNeeds(&IterativeDefaultWork, 300, 15)));
  // The spectral radius's sweeps are held to their share: with N = 100 the
  // orders whose iterations, iteration matrix and reduction fit are accepted
  // (about 790 when the sweeps' worst case was counted).
  EXPECT_GT(testing::LargestAcceptedOrder(&IterativeDefaultWork, 15), 1800);
  EXPECT_TRUE(FitsBudget(TotalNeeds(IterativeWork(600, 10, 15), 32.0 * 600 * 600, kRunnerCosts)));
  EXPECT_FALSE(
      FitsBudget(TotalNeeds(IterativeWork(1500, 32767, 15), 32.0 * 1500 * 1500, kRunnerCosts)));

  // The longest traces at a small order fit the room reserved for them.
  const int n = 6;
  // Long numbers everywhere: a dominant diagonal, tiny entries beside it
  // and a right side that keeps every iterate away from round values.
  std::string text;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) text += i == j ? "-1234567.89012345 " : "-1.23456789012345e-7 ";
    text += "9.87654321098765e-3\r\n";
  }
  for (const char* method : kMethods) {
    for (const int digits : {6, 15}) {
      const MethodOutcome run =
          RunMethod(method, text, Answers(method, "6", "0", "40", "1.9"), {Reply::kYes}, digits);
      ASSERT_TRUE(run.changed);
      EXPECT_LE(static_cast<double>(run.text2.size()), IterativeWork(n, 40, digits).trace_bytes)
          << method;
      EXPECT_GT(run.text2.size(), 40u * n * 24) << method;
    }
  }
}

// The estimate follows what the iterations cost here (with eps 0, order 500
// and N = 10000 take under 2 s of processor time, 1,428 17 to 19 s, and 2,515
// with N = 100 about 15 s): runs that fit a minute are accepted on a device a
// few times slower, and the orders just beyond the budget are not.
TEST(IterativeSolvers, BudgetsAcceptWhatRunsWithinTheirTime) {
  struct Case {
    int order;
    int limit;
    double work_scale;
    bool accepted;
  };
  const Case cases[] = {
      {500, 10000, 4, true},   {500, 10000, 7, false}, {1400, 10000, 1, true},
      {1460, 10000, 1, false}, {2450, 100, 1, true},   {2600, 100, 1, false},
  };
  for (const Case& c : cases) {
    // Short entries, as in a dominant system of small integers.
    const double text_bytes = 3.5 * c.order * (c.order + 1);
    const BudgetNeeds needs =
        TotalNeeds(IterativeWork(c.order, c.limit, 15), text_bytes, kRunnerCosts);
    EXPECT_EQ(FitsBudget(needs, c.work_scale), c.accepted)
        << c.order << " N=" << c.limit << " scale " << c.work_scale;
    if (c.accepted) EXPECT_LT(needs.bytes, kMemoryBudgetBytes / 2) << c.order;
  }
}

// Where a front end keeps the convergence log, its points count in the
// budgets: an order and limit that fit without it may not fit with it, and
// the refusal comes before any work.
TEST(IterativeSolvers, KeptSeriesCountInTheBudgets) {
  const auto refused = [](int n, int limit, ConvergenceLog* log, const FrontEndCosts& costs) {
    ScriptedDialogs dialogs;
    TraceBuffer pane;
    Boxes boxes;
    Frame frame(boxes, kTextbook, pane, 15, costs);
    frame.set_convergence(log);
    return RunAnswering(dialogs, boxes, frame.RefuseIfTooLarge(IterativeWork(n, limit, 15)));
  };
  ConvergenceLog kept;
  ConvergenceLog not_kept(false);
  FrontEndCosts runner = kRunnerCosts;
  runner.series_point_ns = kSeriesRowNs;
  // At order 600 with N = 32767 the trace takes half the memory budget, and
  // the series more than the other half.
  EXPECT_FALSE(refused(600, 32767, nullptr, kRunnerCosts));
  EXPECT_FALSE(refused(600, 32767, &not_kept, kRunnerCosts));
  EXPECT_TRUE(refused(600, 32767, &kept, runner));
  EXPECT_TRUE(refused(600, 32767, &kept, kRunnerCosts));
  EXPECT_FALSE(refused(600, 10000, &kept, runner));
  // What the log holds at most is what the estimate counts.
  const int n = 4;
  const int limit = 30;
  for (const char* method : kMethods) {
    ConvergenceLog log;
    ScriptedDialogs dialogs(Answers(method, "4", "0", "30", "1.9"), {Reply::kYes});
    TraceBuffer pane;
    RunCommand(*FindCommand(method), dialogs, "4 1 0 0 1\r\n1 4 1 0 1\r\n0 1 4 1 1\r\n0 0 1 4 1",
               pane, 15, kRunnerCosts, nullptr, &log);
    double points = 0;
    for (const Series& series : log.series()) points += static_cast<double>(series.points.size());
    EXPECT_EQ(points, IterativeWork(n, limit, 15).series_points) << method;
  }
}

class StoppingSink : public ProgressSink {
 public:
  void Report(double fraction) override { fractions.push_back(fraction); }
  bool StopRequested() override { return fractions.size() >= 3; }
  std::vector<double> fractions;
};

class RecordingSink : public ProgressSink {
 public:
  void Report(double fraction) override { fractions.push_back(fraction); }
  bool StopRequested() override { return false; }
  std::vector<double> fractions;
};

TEST(IterativeSolvers, ProgressGrowsAndAStopLeavesThePane) {
  std::string text;
  for (int i = 1; i <= 80; ++i) {
    for (int j = 1; j <= 81; ++j) text += std::to_string(i == j ? 200 : (i * j) % 5) + ' ';
    text += "\r\n";
  }
  for (const char* method : kMethods) {
    SCOPED_TRACE(method);
    RecordingSink sink;
    ScriptedDialogs dialogs(Answers(method, "80", "0", "2000"), {Reply::kYes});
    TraceBuffer pane;
    EXPECT_EQ(RunCommand(*FindCommand(method), dialogs, text, pane, 6, {}, &sink), Outcome::kRan);
    ASSERT_GT(sink.fractions.size(), 10u);
    for (std::size_t i = 1; i < sink.fractions.size(); ++i) {
      EXPECT_LE(sink.fractions[i - 1], sink.fractions[i]);
    }
    EXPECT_EQ(sink.fractions.back(), 1.0);
    EXPECT_GT(sink.fractions[sink.fractions.size() / 2], 0.1);

    StoppingSink stopping;
    ScriptedDialogs again(Answers(method, "80", "0", "2000"), {Reply::kYes});
    TraceBuffer untouched;
    EXPECT_EQ(RunCommand(*FindCommand(method), again, text, untouched, 6, {}, &stopping),
              Outcome::kStopped);
    EXPECT_FALSE(untouched.changed());
  }
}

}  // namespace
}  // namespace matcalc
