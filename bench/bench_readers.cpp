// Reading an n x n matrix text must take time linear in the text: 2000 x 2000
// should cost about four times 1000 x 1000.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "linalg/matrix.h"
#include "linalg/readers.h"
#include "text/evaluator.h"

namespace {

std::string MatrixText(int n) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> value(-9999, 9999);
  std::string text;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (j > 0) text += ' ';
      text += std::to_string(value(random) / 100.0).substr(0, 6);
    }
    text += "\r\n";
  }
  return text;
}

void BM_ReadMatrix(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string text = MatrixText(n);
  matcalc::Matrix a;
  for (auto _ : state) {
    matcalc::ReadMatrix(a, n, text);
    benchmark::DoNotOptimize(a(n, n));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
  state.counters["text_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ReadMatrix)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One entry of n repetitions of a hostile piece ("(", "1+", "sin", "2^-"):
// twice the entry should cost about twice the time, never four times.
void BM_LongEntry(benchmark::State& state) {
  static const char* const kPieces[] = {"(", "1+", "sin", "2^-"};
  const std::string piece = kPieces[state.range(0)];
  std::string entry;
  for (int64_t i = 0; i < state.range(1); ++i) entry += piece;
  for (auto _ : state) benchmark::DoNotOptimize(matcalc::EvaluateEntry(std::string_view(entry)));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(entry.size()));
}
BENCHMARK(BM_LongEntry)
    ->ArgsProduct({{0, 1, 2, 3}, {1 << 17, 1 << 18}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
