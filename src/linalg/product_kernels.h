// The tile kernels of the rounded product. Every kernel gives each entry of
// its tile exactly the plain sum s = A(i,l) B(l,j) + s over increasing l, a
// separate multiply and add (never fused), so the choice of kernel changes
// speed only, never a digit.
#pragma once

#include <cstddef>
#include <span>

#include "linalg/matrix.h"
#include "linalg/work_meter.h"

namespace matcalc {

// A kernel computes a tile of `rows` x `cols` entries from packed panels: A as
// [l][row] and B as [l][column], `depth` steps of each. `first` starts the sums
// at 0; otherwise they are read from the tile at c (row stride ldc).
struct TileKernel {
  int rows;
  int cols;
  void (*run)(int depth, const double* a, const double* b, double* c, std::size_t ldc, bool first);
};

// The kernels this processor runs, fastest first; the last one is the
// portable kernel, built on every processor.
std::span<const TileKernel> SupportedKernels();

// MultiplyMatrices with the given kernel; MultiplyMatrices takes the first of
// SupportedKernels(). Every kernel gives the same matrix.
Matrix MultiplyMatricesWith(const TileKernel& kernel, const Matrix& a, const Matrix& b, int m,
                            int p, int k, int digits, WorkMeter* meter = nullptr);

#if defined(MATCALC_X86_KERNELS)
// The AVX-512 and AVX2 kernels this processor supports, fastest first
// (product_kernels_x86.cpp, built only for x86-64).
std::span<const TileKernel> X86Kernels();
#endif

}  // namespace matcalc
