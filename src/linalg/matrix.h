// Matrices and vectors of the computations, indexed from 1 in use, over a
// scalar type: doubles, or exact fractions in the exact mode.
#pragma once

#include <cassert>
#include <cstddef>
#include <vector>

namespace matcalc {

// A dense matrix with rows 0..rows() and columns 0..cols(). Row 0 and column 0
// exist so that the direct methods can use their classic 1-based layout with a
// spare column n+1; the eigenvalue methods simply never touch index 0.
template <typename T>
class BasicMatrix {
 public:
  using Scalar = T;

  BasicMatrix() = default;
  BasicMatrix(int rows, int cols)
      : rows_(rows),
        cols_(cols),
        data_(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(cols + 1), T(0)) {
    assert(rows >= 0 && cols >= 0);
  }

  int rows() const { return rows_; }
  int cols() const { return cols_; }

  T& operator()(int i, int j) { return data_[Index(i, j)]; }
  const T& operator()(int i, int j) const { return data_[Index(i, j)]; }

  // Pointer to A(i, 0); A(i, j) is row(i)[j].
  T* row(int i) { return data_.data() + Index(i, 0); }
  const T* row(int i) const { return data_.data() + Index(i, 0); }

  friend bool operator==(const BasicMatrix&, const BasicMatrix&) = default;

 private:
  std::size_t Index(int i, int j) const {
    assert(i >= 0 && i <= rows_ && j >= 0 && j <= cols_);
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_ + 1) +
           static_cast<std::size_t>(j);
  }

  int rows_ = 0;
  int cols_ = 0;
  std::vector<T> data_;
};

// A vector with components 1..size(); index 0 exists but is never used.
template <typename T>
class BasicVector {
 public:
  using Scalar = T;

  BasicVector() : data_(1, T(0)) {}
  explicit BasicVector(int size) : data_(static_cast<std::size_t>(size < 0 ? 0 : size) + 1, T(0)) {}

  int size() const { return static_cast<int>(data_.size()) - 1; }

  T& operator()(int i) {
    assert(i >= 0 && i <= size());
    return data_[static_cast<std::size_t>(i)];
  }
  const T& operator()(int i) const {
    assert(i >= 0 && i <= size());
    return data_[static_cast<std::size_t>(i)];
  }

  friend bool operator==(const BasicVector&, const BasicVector&) = default;

 private:
  std::vector<T> data_;
};

using Matrix = BasicMatrix<double>;
using Vector = BasicVector<double>;

}  // namespace matcalc
