// The cost of one rounding to a number of places (the budgets' kRoundNs), by
// kind of value, beside the rounding through decimal text it must agree with:
// - short: |value * 10^p| < 2^40 and not near a tie (the cheap path);
// - tie: exact decimal ties k.5 / 10^p (the integer path below 2^40);
// - large: 2^40 <= |value * 10^p| < 2^53 (the integer path);
// - huge: |value * 10^p| >= 2^53 (the value is its own rounding);
// - mixed: random encodings of every magnitude.
// Each loop rounds 4096 values, cycling through the places 0..15.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "text/float_chars.h"
#include "text/number_text.h"

namespace {

constexpr int kCount = 4096;

double Pow10(int p) { return std::pow(10.0, p); }

std::vector<double> Values(int kind) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> unit(1, 2);
  std::vector<double> values;
  for (int i = 0; i < kCount; ++i) {
    const int p = i % 16;
    double v = 0;
    switch (kind) {
      case 0:  // short
        v = std::ldexp(unit(rng), static_cast<int>(rng() % 30)) / Pow10(p) + 0.25 / Pow10(p);
        break;
      case 1:  // tie
        v = (static_cast<double>(rng() % 100000) + 0.5) / Pow10(p);
        break;
      case 2:  // large
        v = std::ldexp(unit(rng), 40 + static_cast<int>(rng() % 13)) / Pow10(p);
        break;
      case 3:  // huge
        v = std::ldexp(unit(rng), 53 + static_cast<int>(rng() % 10)) / Pow10(p);
        break;
      default:  // mixed
        do {
          const std::uint64_t bits = rng();
          std::memcpy(&v, &bits, sizeof v);
        } while (!std::isfinite(v));
        break;
    }
    values.push_back(i % 2 ? -v : v);
  }
  return values;
}

void BM_RoundTo(benchmark::State& state) {
  const std::vector<double> values = Values(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < kCount; ++i) sum += matcalc::RoundTo(values[i], i % 16);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["ns_per_rounding"] = benchmark::Counter(
      static_cast<double>(kCount) * static_cast<double>(state.iterations()) * 1e-9,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The rounding through the decimal text, for comparison.
void BM_RoundThroughText(benchmark::State& state) {
  const std::vector<double> values = Values(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < kCount; ++i) {
      char buf[400];
      const auto res = matcalc::FixedChars(buf, buf + sizeof buf, values[i], i % 16);
      double rounded = values[i];
      matcalc::ParseDouble(buf, res.ptr, rounded);
      sum += rounded;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["ns_per_rounding"] = benchmark::Counter(
      static_cast<double>(kCount) * static_cast<double>(state.iterations()) * 1e-9,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_RoundTo)->ArgName("kind")->DenseRange(0, 4);
BENCHMARK(BM_RoundThroughText)->ArgName("kind")->DenseRange(0, 4);

}  // namespace

BENCHMARK_MAIN();
