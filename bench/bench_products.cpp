// The rounded matrix product beside a single-threaded BLAS dgemm of the same
// size. The product keeps every entry's own summation order and rounds every
// entry, so it cannot use fused multiply-adds; it should stay within three
// times the BLAS time at n = 512.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "linalg/matrix.h"
#include "linalg/matrix_routines.h"

#ifdef MATCALC_HAVE_OPENBLAS
#include <cblas.h>
#endif

namespace {

matcalc::Matrix RandomMatrix(int n, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-1, 1);
  matcalc::Matrix a(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) a(i, j) = value(random);
  }
  return a;
}

void BM_MultiplyMatrices(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const matcalc::Matrix a = RandomMatrix(n, 1);
  const matcalc::Matrix b = RandomMatrix(n, 2);
  for (auto _ : state) {
    matcalc::Matrix c = matcalc::MultiplyMatrices(a, b, n, n, n, 6);
    benchmark::DoNotOptimize(c(n, n));
  }
  state.counters["flops"] = benchmark::Counter(
      2.0 * n * n * n * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MultiplyMatrices)->Arg(60)->Arg(512)->Unit(benchmark::kMillisecond);

#ifdef MATCALC_HAVE_OPENBLAS
void BM_OpenBlasDgemm(benchmark::State& state) {
  openblas_set_num_threads(1);
  const int n = static_cast<int>(state.range(0));
  std::mt19937 random(1);
  std::uniform_real_distribution<double> value(-1, 1);
  std::vector<double> a(static_cast<std::size_t>(n) * n);
  std::vector<double> b(a.size());
  std::vector<double> c(a.size());
  for (double& x : a) x = value(random);
  for (double& x : b) x = value(random);
  for (auto _ : state) {
    cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, n, n, n, 1.0, a.data(), n, b.data(), n,
                0.0, c.data(), n);
    benchmark::DoNotOptimize(c.back());
  }
  state.counters["flops"] = benchmark::Counter(
      2.0 * n * n * n * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OpenBlasDgemm)->Arg(60)->Arg(512)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
