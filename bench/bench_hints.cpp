// The hints while typing read the whole edit pane on every pause: for a
// 100 KB text they must cost well under 50 ms. Three kinds of text side by
// side: plain numbers, expressions, and entries full of mistakes; the
// command's own reading of the plain text as the yardstick.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "linalg/matrix.h"
#include "linalg/readers.h"
#include "linalg/reading_hints.h"

namespace {

constexpr std::size_t kTextBytes = 100 * 1024;

// Rows of `width` entries drawn from `pieces` until the text holds 100 KB.
std::string Text(const std::vector<std::string>& pieces, int width) {
  std::mt19937 random(2026);
  std::string text;
  while (text.size() < kTextBytes) {
    for (int j = 0; j < width; ++j) {
      if (j > 0) text += ' ';
      text += pieces[random() % pieces.size()];
    }
    text += "\r\n";
  }
  return text;
}

const std::vector<std::string> kNumbers = {"1.25", "-3", "42", "0.0001", "7e3", "-12.5"};
const std::vector<std::string> kExpressions = {"sqr(2)/2", "2*pi",       "(1+2)*3",
                                               "-1.5e3",   "log10(100)", "7\\2"};
const std::vector<std::string> kMistakes = {"12abc", "a", "2*(3", "1.2.3", "1=2", "4"};

void Describe(benchmark::State& state, const std::vector<std::string>& pieces) {
  const std::string text = Text(pieces, 40);
  for (auto _ : state) {
    const matcalc::TextReading reading = matcalc::DescribeText(text);
    benchmark::DoNotOptimize(reading.largest_order);
  }
  state.counters["text_bytes"] = static_cast<double>(text.size());
}

void BM_HintsNumbers(benchmark::State& state) { Describe(state, kNumbers); }
void BM_HintsExpressions(benchmark::State& state) { Describe(state, kExpressions); }
void BM_HintsMistakes(benchmark::State& state) { Describe(state, kMistakes); }

// What a command spends reading the same plain text as a matrix of its order.
void BM_CommandReadsNumbers(benchmark::State& state) {
  const std::string text = Text(kNumbers, 40);
  const int n = matcalc::DescribeText(text).rows;
  matcalc::Matrix a;
  for (auto _ : state) {
    matcalc::ReadMatrix(a, n, text);
    benchmark::DoNotOptimize(a(1, 1));
  }
}

BENCHMARK(BM_HintsNumbers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HintsExpressions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HintsMistakes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommandReadsNumbers)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
