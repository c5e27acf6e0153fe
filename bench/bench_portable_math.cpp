// The entries' elementary functions beside the C library's: each loop applies
// one function to 4096 arguments of ordinary size (trigonometric arguments
// within +-8, exp within +-20, log over 2^+-30, pow of bases near 1 to 4 and
// exponents within +-5), plus the trigonometric functions at huge arguments,
// where the reduction by pi/2 works through many bits of 2/pi.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "text/portable_math.h"

namespace {

constexpr int kCount = 4096;

std::vector<double> Arguments(double low, double high, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> uniform(low, high);
  std::vector<double> values(kCount);
  for (double& v : values) v = uniform(rng);
  return values;
}

template <double (*F)(double)>
void Unary(benchmark::State& state, const std::vector<double>& arguments) {
  for (auto _ : state) {
    double sum = 0;
    for (double x : arguments) sum += F(x);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

double LibSin(double x) { return std::sin(x); }
double LibCos(double x) { return std::cos(x); }
double LibTan(double x) { return std::tan(x); }
double LibAtan(double x) { return std::atan(x); }
double LibExp(double x) { return std::exp(x); }
double LibLog(double x) { return std::log(x); }

const std::vector<double>& Trig() {
  static const std::vector<double> values = Arguments(-8, 8, 1);
  return values;
}
const std::vector<double>& HugeTrig() {
  static const std::vector<double> values = [] {
    std::vector<double> v = Arguments(1, 2, 2);
    for (std::size_t i = 0; i < v.size(); ++i)
      v[i] = std::ldexp(v[i], 100 + static_cast<int>(i % 900));
    return v;
  }();
  return values;
}
const std::vector<double>& AtanArguments() {
  static const std::vector<double> values = Arguments(-10, 10, 3);
  return values;
}
const std::vector<double>& ExpArguments() {
  static const std::vector<double> values = Arguments(-20, 20, 4);
  return values;
}
const std::vector<double>& LogArguments() {
  static const std::vector<double> values = [] {
    std::vector<double> v = Arguments(-30, 30, 5);
    for (double& x : v) x = std::exp2(x);
    return v;
  }();
  return values;
}

#define MATCALC_UNARY(name, portable, library, arguments)                                     \
  void BM_##name##_Portable(benchmark::State& state) { Unary<portable>(state, arguments()); } \
  void BM_##name##_Library(benchmark::State& state) { Unary<library>(state, arguments()); }   \
  BENCHMARK(BM_##name##_Portable);                                                            \
  BENCHMARK(BM_##name##_Library)

MATCALC_UNARY(Sin, matcalc::PortableSin, LibSin, Trig);
MATCALC_UNARY(Cos, matcalc::PortableCos, LibCos, Trig);
MATCALC_UNARY(Tan, matcalc::PortableTan, LibTan, Trig);
MATCALC_UNARY(SinHuge, matcalc::PortableSin, LibSin, HugeTrig);
MATCALC_UNARY(Atan, matcalc::PortableAtan, LibAtan, AtanArguments);
MATCALC_UNARY(Exp, matcalc::PortableExp, LibExp, ExpArguments);
MATCALC_UNARY(Log, matcalc::PortableLog, LibLog, LogArguments);

template <bool kPortable>
void BM_Pow(benchmark::State& state) {
  const std::vector<double> bases = Arguments(0.01, 4, 6);
  const std::vector<double> exponents = Arguments(-5, 5, 7);
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < kCount; ++i) {
      sum += kPortable ? matcalc::PortablePow(bases[i], exponents[i])
                       : std::pow(bases[i], exponents[i]);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_Pow<true>)->Name("BM_Pow_Portable");
BENCHMARK(BM_Pow<false>)->Name("BM_Pow_Library");

}  // namespace

BENCHMARK_MAIN();
