#include "frame/calibration.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <string>

#include "linalg/matrix.h"
#include "linalg/matrix_routines.h"
#include "text/float_chars.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

constexpr int kOrder = 48;
constexpr int kRuns = 7;

// One run of the calibration work; its result only keeps the work from being
// left out.
double CalibrationWork() {
  Matrix a(kOrder, kOrder);
  Matrix b(kOrder, kOrder);
  for (int i = 1; i <= kOrder; ++i) {
    for (int j = 1; j <= kOrder; ++j) {
      a(i, j) = 1.0 / (i + j);
      b(i, j) = (i == j ? 2.0 : 0.0) + 1.0 / (i * j + 1);
    }
  }
  // Eliminations: rows less multiples of the pivot row, as a plain loop.
  Matrix e = a;
  for (int pass = 0; pass < 20; ++pass) {
    for (int k = 1; k <= kOrder; ++k) {
      for (int i = 1; i <= kOrder; ++i) {
        if (i == k) continue;
        const double factor = e(i, k) / (e(k, k) + 3.0);
        for (int j = 1; j <= kOrder; ++j) e(i, j) = e(i, j) - factor * e(k, j);
      }
    }
  }
  // A rounded product, and its entries written as the traces write numbers.
  const Matrix c = MultiplyMatrices(a, b, kOrder, kOrder, kOrder, 6);
  std::string trace;
  for (int round = 0; round < 8; ++round) {
    for (int i = 1; i <= kOrder; ++i) {
      for (int j = 1; j <= kOrder; ++j) AppendField24(trace, c(i, j) * (round + 1) + e(i, j));
    }
  }
  return static_cast<double>(trace.size()) + e(kOrder, kOrder);
}

}  // namespace

double MeasureWorkScale() {
  volatile double sink = 0;
  // A first run readies the code (WebAssembly is compiled again, optimised,
  // once it has run) and the caches. Of the runs after it the median counts:
  // a moment's interruption does not, but a device that computes in slices
  // (a throttled processor, one shared with other work) is slow in most runs.
  sink = sink + CalibrationWork();
  std::array<double, kRuns> took{};
  for (double& run : took) {
    const auto start = std::chrono::steady_clock::now();
    sink = sink + CalibrationWork();
    run =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
  }
  std::nth_element(took.begin(), took.begin() + kRuns / 2, took.end());
  return std::clamp(took[kRuns / 2] / kCalibrationReferenceNs, kSmallestWorkScale,
                    kLargestWorkScale);
}

std::optional<double> ParseWorkScale(std::string_view text) {
  double value = 0;
  const auto result = ParseDouble(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) return std::nullopt;
  if (!std::isfinite(value) || value <= 0) return std::nullopt;
  return value;
}

}  // namespace matcalc
