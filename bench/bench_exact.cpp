// The exact mode's determinant: the whole command with its trace on an
// order-60 integer matrix with entries in -99..99, beside an independent
// exact computation (fraction-free elimination on big integers) that it must
// agree with. The goal: the command within 0.5 s.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "text/rational.h"

namespace matcalc {
namespace {

constexpr int kOrder = 60;

std::vector<std::vector<int>> RandomIntegers(int n) {
  std::mt19937 engine(60);
  std::vector<std::vector<int>> a(static_cast<std::size_t>(n), std::vector<int>(n));
  for (auto& row : a) {
    for (int& x : row) x = static_cast<int>(engine() % 199) - 99;
  }
  return a;
}

std::string MatrixText(const std::vector<std::vector<int>>& a) {
  std::string text;
  for (const auto& row : a) {
    for (const int x : row) text += std::to_string(x) + " ";
    text += "\n";
  }
  return text;
}

// Bareiss's fraction-free elimination: every division is exact.
BigInt Bareiss(const std::vector<std::vector<int>>& input) {
  const std::size_t n = input.size();
  std::vector<std::vector<BigInt>> a(n, std::vector<BigInt>(n));
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) a[i][j] = input[i][j];
  }
  BigInt previous = 1;
  int sign = 1;
  for (std::size_t k = 0; k + 1 < n; ++k) {
    if (a[k][k] == 0) {
      std::size_t m = k + 1;
      while (m < n && a[m][k] == 0) ++m;
      if (m == n) return 0;
      std::swap(a[k], a[m]);
      sign = -sign;
    }
    for (std::size_t i = k + 1; i < n; ++i) {
      for (std::size_t j = k + 1; j < n; ++j) {
        a[i][j] = (a[i][j] * a[k][k] - a[i][k] * a[k][j]) / previous;
      }
    }
    previous = a[k][k];
  }
  return sign * a[n - 1][n - 1];
}

std::string RunDeterminant(const std::string& text) {
  ScriptedDialogs dialogs({std::to_string(kOrder)}, {});
  const TraceBuffer pane =
      RunCommand(*FindCommand("determinant"), dialogs, text, std::string(), 6, {}, nullptr, true);
  return pane.text();
}

void BM_ExactDeterminantTrace(benchmark::State& state) {
  const auto a = RandomIntegers(kOrder);
  const std::string text = MatrixText(a);
  const std::string expected = Bareiss(a).str();
  const std::string trace = RunDeterminant(text);
  if (trace.find("行列式的值为：\r\n   " + expected + "\r\n") == std::string::npos) {
    state.SkipWithError("the trace's determinant is not Bareiss's");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(RunDeterminant(text));
}
BENCHMARK(BM_ExactDeterminantTrace)->Unit(benchmark::kMillisecond);

void BM_BareissDeterminant(benchmark::State& state) {
  const auto a = RandomIntegers(kOrder);
  for (auto _ : state) benchmark::DoNotOptimize(Bareiss(a));
}
BENCHMARK(BM_BareissDeterminant)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace matcalc

BENCHMARK_MAIN();
