// The AVX-512 and AVX2 tile kernels, built only for x86-64 and chosen at run
// time by what the processor supports.
#include <immintrin.h>

#include <cstddef>
#include <vector>

#include "linalg/product_kernels.h"

namespace matcalc {
namespace {

__attribute__((target("avx512f"))) void TileAvx512(int depth, const double* a, const double* b,
                                                   double* c, std::size_t ldc, bool first) {
  constexpr int kRows = 8;
  __m512d acc[kRows][2];
#pragma GCC unroll 8
  for (int r = 0; r < kRows; ++r) {
    acc[r][0] = first ? _mm512_setzero_pd() : _mm512_loadu_pd(c + r * ldc);
    acc[r][1] = first ? _mm512_setzero_pd() : _mm512_loadu_pd(c + r * ldc + 8);
  }
  for (int l = 0; l < depth; ++l) {
    const __m512d b0 = _mm512_loadu_pd(b + 16 * l);
    const __m512d b1 = _mm512_loadu_pd(b + 16 * l + 8);
#pragma GCC unroll 8
    for (int r = 0; r < kRows; ++r) {
      const __m512d ail = _mm512_set1_pd(a[kRows * l + r]);
      acc[r][0] = _mm512_add_pd(_mm512_mul_pd(ail, b0), acc[r][0]);
      acc[r][1] = _mm512_add_pd(_mm512_mul_pd(ail, b1), acc[r][1]);
    }
  }
#pragma GCC unroll 8
  for (int r = 0; r < kRows; ++r) {
    _mm512_storeu_pd(c + r * ldc, acc[r][0]);
    _mm512_storeu_pd(c + r * ldc + 8, acc[r][1]);
  }
}

__attribute__((target("avx2"))) void TileAvx2(int depth, const double* a, const double* b,
                                              double* c, std::size_t ldc, bool first) {
  constexpr int kRows = 4;
  __m256d acc[kRows][2];
#pragma GCC unroll 4
  for (int r = 0; r < kRows; ++r) {
    acc[r][0] = first ? _mm256_setzero_pd() : _mm256_loadu_pd(c + r * ldc);
    acc[r][1] = first ? _mm256_setzero_pd() : _mm256_loadu_pd(c + r * ldc + 4);
  }
  for (int l = 0; l < depth; ++l) {
    const __m256d b0 = _mm256_loadu_pd(b + 8 * l);
    const __m256d b1 = _mm256_loadu_pd(b + 8 * l + 4);
#pragma GCC unroll 4
    for (int r = 0; r < kRows; ++r) {
      const __m256d ail = _mm256_broadcast_sd(a + kRows * l + r);
      acc[r][0] = _mm256_add_pd(_mm256_mul_pd(ail, b0), acc[r][0]);
      acc[r][1] = _mm256_add_pd(_mm256_mul_pd(ail, b1), acc[r][1]);
    }
  }
#pragma GCC unroll 4
  for (int r = 0; r < kRows; ++r) {
    _mm256_storeu_pd(c + r * ldc, acc[r][0]);
    _mm256_storeu_pd(c + r * ldc + 4, acc[r][1]);
  }
}

}  // namespace

std::span<const TileKernel> X86Kernels() {
  static const std::vector<TileKernel> kernels = [] {
    std::vector<TileKernel> list;
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) list.push_back(TileKernel{8, 16, &TileAvx512});
    if (__builtin_cpu_supports("avx2")) list.push_back(TileKernel{4, 8, &TileAvx2});
    return list;
  }();
  return kernels;
}

}  // namespace matcalc
