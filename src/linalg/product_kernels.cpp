#include "linalg/product_kernels.h"

#include <array>
#include <vector>

namespace matcalc {
namespace {

// Plain code for every processor; the compiler vectorises it with what the
// target offers, and -ffp-contract=off keeps each multiply and add apart.
void TilePortable(int depth, const double* a, const double* b, double* c, std::size_t ldc,
                  bool first) {
  constexpr int kRows = 4;
  constexpr int kCols = 4;
  double acc[kRows][kCols];
  for (int r = 0; r < kRows; ++r) {
    for (int j = 0; j < kCols; ++j) acc[r][j] = first ? 0.0 : c[r * ldc + j];
  }
  for (int l = 0; l < depth; ++l) {
    for (int r = 0; r < kRows; ++r) {
      const double ail = a[kRows * l + r];
      for (int j = 0; j < kCols; ++j) acc[r][j] = ail * b[kCols * l + j] + acc[r][j];
    }
  }
  for (int r = 0; r < kRows; ++r) {
    for (int j = 0; j < kCols; ++j) c[r * ldc + j] = acc[r][j];
  }
}

constexpr TileKernel kPortable{4, 4, &TilePortable};

}  // namespace

std::span<const TileKernel> SupportedKernels() {
  static const std::vector<TileKernel> kernels = [] {
    std::vector<TileKernel> list;
#if defined(MATCALC_X86_KERNELS)
    for (const TileKernel& kernel : X86Kernels()) list.push_back(kernel);
#endif
    list.push_back(kPortable);
    return list;
  }();
  return kernels;
}

}  // namespace matcalc
