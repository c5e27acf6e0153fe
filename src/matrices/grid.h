// A dense matrix over any scalar type, rows 1..rows() by columns 1..cols():
// what the row reductions work on, in decimals (double) or in exact fractions.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <vector>

namespace matcalc {

template <typename T>
class Grid {
 public:
  Grid() = default;
  Grid(int rows, int cols)
      : rows_(rows),
        cols_(cols),
        data_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), T(0)) {
    assert(rows >= 0 && cols >= 0);
  }

  int rows() const { return rows_; }
  int cols() const { return cols_; }

  T& operator()(int i, int j) { return data_[Index(i, j)]; }
  const T& operator()(int i, int j) const { return data_[Index(i, j)]; }

  // Exchanges rows i and k whole.
  void SwapRows(int i, int k) {
    if (i == k) return;
    const auto first = data_.begin() + static_cast<std::ptrdiff_t>(Index(i, 1));
    std::swap_ranges(first, first + cols_,
                     data_.begin() + static_cast<std::ptrdiff_t>(Index(k, 1)));
  }

  friend bool operator==(const Grid&, const Grid&) = default;

 private:
  std::size_t Index(int i, int j) const {
    assert(i >= 1 && i <= rows_ && j >= 1 && j <= cols_);
    return static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(cols_) +
           static_cast<std::size_t>(j - 1);
  }

  int rows_ = 0;
  int cols_ = 0;
  std::vector<T> data_;
};

}  // namespace matcalc
