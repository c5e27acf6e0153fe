// The manual's examples say what the program prints: each example's matrix
// is run through the runner, and the numbers the manual quotes must stand
// both in the manual and in the trace.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/runner.h"

namespace matcalc {
namespace {

std::string ReadManual(const char* page) {
  std::ifstream in(std::string(MATCALC_HELP_DIR) + "/" + page, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Example {
  const char* name;
  std::vector<std::string> args;
  const char* matrix;
  std::vector<const char*> in_trace;   // as the trace prints it
  std::vector<const char*> in_manual;  // as the manual quotes it
};

TEST(Manual, ExamplesQuoteWhatTheProgramPrints) {
  const std::string manual = ReadManual("examples.html");
  ASSERT_FALSE(manual.empty());
  const Example examples[] = {
      {"jacobi",
       {"--answer", "2", "--answer", "0.001", "jacobi"},
       "2 1\r\n1 2",
       {"p=1  q=2  并且sin0=0.70710678118654", "cos0=0.70710678118654",
        "                       3    1.61554457443259E-15\r\n"
        "    1.61554457443259E-15                       1\r\n",
        "                0.707107               -0.707107\r\n"},
       {"p=1, q=2, sinθ = cosθ ≈ 0.707107", "特征值 3 和 1"}},
      {"power",
       {"--answer", "3", "--answer", "0.0001", "power"},
       "4 1 0\r\n1 4 1\r\n0 1 4",
       {"幂法求矩阵的主特征值是： 5.414282\r\n"},
       {"特征值 5.414282", "4+√2 ≈ 5.414214", "精度 0.0001"}},
      {"determinant",
       {"--answer", "3", "determinant"},
       "2 -1 0\r\n-1 2 -1\r\n0 -1 2",
       {"行列式的值为：\r\n   4\r\n"},
       {"得行列式 4"}},
      // The elimination's 7-place rounding: -24 is printed as -23.999999.
      {"determinant of square3",
       {"--answer", "3", "determinant"},
       "1 2 3\r\n2 5 2\r\n3 1 5",
       {"  0  4.3333333  -1.3333333\r\n  0  0  1.8461538\r\n",
        "行列式的值为：\r\n   -23.999999\r\n"},
       {"4.3333333", "1.8461538", "3 × 4.3333333 × 1.8461538 = 23.9999992", "-23.999999"}},
      {"inverse",
       {"--answer", "3", "inverse"},
       "2 -1 0\r\n-1 2 -1\r\n0 -1 2",
       {"  0.75  0.5  0.25\r\n"},
       {"第一行为 0.75 0.5 0.25"}},
      {"vector norms",
       {"vector-norms"},
       "3 -4",
       {"向量的1范数为： 7\r\n", "向量的2范数为： 5\r\n", "向量的无穷范数为： 4\r\n"},
       {"1 范数 7，2 范数 5，无穷范数 4"}},
      {"expressions",
       {"--answer", "2", "determinant"},
       "sqr(4)  2^3\r\npi/pi   0",
       {"  2  8\r\n  1  0\r\n"},
       {"(2, 8)、(1, 0)"}},
  };
  for (const Example& example : examples) {
    SCOPED_TRACE(example.name);
    std::istringstream in(example.matrix);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunCli(example.args, in, out, err), 0);
    for (const char* text : example.in_trace)
      EXPECT_NE(out.str().find(text), std::string::npos) << text;
    for (const char* text : example.in_manual)
      EXPECT_NE(manual.find(text), std::string::npos) << text;
  }
}

// Where each iterative method gives up, as the chart page says.
TEST(Manual, GiveUpBoundsAreTheSeriesOwn) {
  const std::string manual = ReadManual("beyond.html");
  ASSERT_FALSE(manual.empty());
  EXPECT_NE(
      manual.find(
          "幂法和原点平移法的第 201 个迭代、反幂法的第 200 次迭代、\n雅可比法的第 101 次变换"),
      std::string::npos);
  EXPECT_NE(manual.find("第 k 次变换后非对角元的最大模"), std::string::npos);
  EXPECT_NE(manual.find("方程组迭代法的第 N 次迭代"), std::string::npos);
  struct Bound {
    const char* method;
    const char* matrix;
    std::vector<std::string> answers;
    const char* last_row;
  };
  const Bound bounds[] = {
      {"power", "4 1 0\r\n1 4 1\r\n0 1 4", {"3", "0"}, "未收敛,201,1\n"},
      {"shift", "2 0\r\n0 1", {"2", "0", "0"}, "未收敛,201,1\n"},
      {"inverse-power", "4 1 0\r\n1 4 1\r\n0 1 4", {"3", "0"}, "未收敛,200,1\n"},
      {"jacobi", "4 1 2 0.5\r\n1 3 0 1\r\n2 0 5 1\r\n0.5 1 1 2", {"4", "0"}, "未收敛,101,1\n"},
      {"jacobi-iteration",
       "10 -1 -2 7.2\r\n-1 10 -2 8.3\r\n-1 -1 5 4.2",
       {"3", "0", "5"},
       "未收敛,5,1\n"},
  };
  const std::string path = ::testing::TempDir() + "manual-series.csv";
  for (const Bound& bound : bounds) {
    SCOPED_TRACE(bound.method);
    std::vector<std::string> args = {"--series", path, "--reply", "no"};
    for (const std::string& answer : bound.answers) {
      args.push_back("--answer");
      args.push_back(answer);
    }
    args.push_back(bound.method);
    std::istringstream in(bound.matrix);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunCli(args, in, out, err), 0);
    std::ifstream csv(path, std::ios::binary);
    std::ostringstream series;
    series << csv.rdbuf();
    EXPECT_TRUE(series.str().ends_with(bound.last_row))
        << series.str().substr(series.str().size() - 80);
  }
  std::remove(path.c_str());
}

// Orders and limits beyond the 16-bit range end the command without a word,
// as the manual says, and not with the refusal it gives a large order.
TEST(Manual, AnswersBeyondSixteenBitsEndSilently) {
  EXPECT_NE(ReadManual("methods.html")
                .find("输入超出 −32768～32767 的数时不作任何提示，计算直接结束，两个区域保持原样"),
            std::string::npos);
  EXPECT_NE(ReadManual("systems.html").find("阶数或 N 超出 32767 时不作提示，计算直接结束"),
            std::string::npos);
  const std::vector<std::vector<std::string>> runs = {
      {"--answer", "32768", "determinant"},
      {"--answer", "40000", "gauss"},
      {"--answer", "2", "--answer", "0.001", "--answer", "32768", "gauss-seidel"},
  };
  for (const std::vector<std::string>& args : runs) {
    SCOPED_TRACE(args.back());
    std::istringstream in("4 1 1\r\n1 4 1");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunCli(args, in, out, err), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str().find("message"), std::string::npos) << err.str();
  }
}

}  // namespace
}  // namespace matcalc
