// Reduction by elementary row operations, column by column from the left,
// written once over the scalar type. The arithmetic gives what differs
// between decimals and exact fractions: which row is the pivot, what counts
// as zero and how a number is printed. An observer sees every operation as
// it is done, and the end of each column.
#pragma once

#include <vector>

#include "linalg/work_meter.h"
#include "matrices/grid.h"
#include "matrices/row_operations.h"

namespace matcalc {

enum class EchelonForm {
  kRowEchelon,  // zeros below each pivot
  kReduced,     // each pivot 1, zeros above and below it
};

struct Reduction {
  std::vector<int> pivot_columns;  // increasing; their count is the rank
  int exchanges = 0;               // rows exchanged
};

// What an observer of Reduce provides (none of it may change the matrix):
//   void ColumnStarts(int column): before anything else of the column;
//   void Operation(const SwapRows&), Operation(const AddMultipleOfRow<T>&),
//        Operation(const ScaleRow<T>&): after the operation is done;
//   bool ColumnDone(int column, bool operations): the pivot of `column`
//        found and its column cleared, with or without operations;
//   bool NoPivot(int column, int row, bool rest): nothing but zeros in
//        `column` from `row` down; with `rest`, nothing but zeros in every
//        column still to be reduced either, and the reduction ends.
// Each returns whether to go on; a stop leaves the rest undone.
//
// Reduces columns 1..pivot_columns of `a` (the columns to its right, an
// augmented part, take part in every operation). In each column the
// arithmetic picks the pivot row at or below the current one; it is brought
// up, the entries below are cleared, and for the reduced form the pivot is
// scaled to 1 and the entries above are cleared. Entries that count as zero
// are set to exactly 0 without an operation. Updated entries are counted on
// `meter`.
// Whether rows `row`.. of columns first..last all count as zero. Stops at
// the first entry that does not, which in a column still to be reduced is
// usually soon.
template <typename T, typename Arithmetic>
bool RestIsZero(const Grid<T>& a, int row, int first, int last, const Arithmetic& arithmetic) {
  for (int j = first; j <= last; ++j) {
    for (int i = row; i <= a.rows(); ++i) {
      if (!arithmetic.IsZero(a(i, j))) return false;
    }
  }
  return true;
}

template <typename T, typename Arithmetic, typename Observer>
Reduction Reduce(Grid<T>& a, int pivot_columns, EchelonForm form, const Arithmetic& arithmetic,
                 Observer& observer, WorkMeter* meter) {
  Reduction done;
  int row = 1;  // where the next pivot goes
  for (int k = 1; k <= pivot_columns && row <= a.rows(); ++k) {
    observer.ColumnStarts(k);
    const int pivot = arithmetic.PivotRow(a, k, row);
    if (pivot == 0) {
      for (int i = row; i <= a.rows(); ++i) a(i, k) = T(0);
      const bool rest = RestIsZero(a, row, k + 1, pivot_columns, arithmetic);
      if (rest) {
        for (int j = k + 1; j <= pivot_columns; ++j) {
          for (int i = row; i <= a.rows(); ++i) a(i, j) = T(0);
        }
      }
      if (!observer.NoPivot(k, row, rest) || rest) return done;
      continue;
    }
    bool operations = false;
    if (pivot != row) {
      const SwapRows swap{row, pivot};
      Apply(a, swap);
      ++done.exchanges;
      operations = true;
      observer.Operation(swap);
    }
    for (int i = row + 1; i <= a.rows(); ++i) {
      if (arithmetic.IsZero(a(i, k))) {
        a(i, k) = T(0);
        continue;
      }
      const AddMultipleOfRow<T> clear{i, row, T(a(i, k) / a(row, k))};
      Apply(a, clear, k, meter);
      operations = true;
      observer.Operation(clear);
    }
    if (form == EchelonForm::kReduced) {
      if (a(row, k) != T(1)) {
        const ScaleRow<T> scale{row, a(row, k)};
        Apply(a, scale, k, meter);
        operations = true;
        observer.Operation(scale);
      }
      for (int i = 1; i < row; ++i) {
        if (arithmetic.IsZero(a(i, k))) {
          a(i, k) = T(0);
          continue;
        }
        const AddMultipleOfRow<T> clear{i, row, a(i, k)};  // the pivot is 1
        Apply(a, clear, k, meter);
        operations = true;
        observer.Operation(clear);
      }
    }
    done.pivot_columns.push_back(k);
    ++row;
    if (!observer.ColumnDone(k, operations)) return done;
  }
  return done;
}

}  // namespace matcalc
