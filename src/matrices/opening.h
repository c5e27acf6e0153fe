// How the commands of the 矩阵 menu open: the shape boxes (rows and columns,
// or the equations and unknowns of a system, or one order), the budgets'
// verdict on that shape, then the matrix read from the edit pane.
#pragma once

#include <optional>
#include <string_view>

#include "frame/frame.h"
#include "linalg/exact_readers.h"
#include "linalg/matrix.h"

namespace matcalc {

// What a command reads: an m x n matrix, the m x (n + 1) augmented matrix of
// m equations in n unknowns, or a square matrix of one order.
enum class MatrixShape { kAnyShape, kSystem, kSquare };

inline constexpr std::string_view kInputTitle = "输入数据";
inline constexpr std::string_view kRowsPrompt = "输入矩阵的行数 m：";
inline constexpr std::string_view kColumnsPrompt = "输入矩阵的列数 n：";
inline constexpr std::string_view kEquationsPrompt = "输入方程组中方程的个数 m：";
inline constexpr std::string_view kUnknownsPrompt = "输入方程组中未知数的个数 n：";

struct ShapedMatrix {
  int m = 0;  // rows (equations)
  int n = 0;  // columns (unknowns; the matrix read has n + 1 columns for a system)
  Matrix read;
  // In the exact mode, when every entry read is exact: the fractions.
  std::optional<RationalMatrix> exact;
};

// The budgets' estimate of a command for m rows and n columns (n unknowns
// for a system; m = n for a square matrix) at the digits setting.
using ShapeEstimate = WorkEstimate (*)(int m, int n, int digits);
// The exact mode's estimate for the fractions read, whose size the
// reduction's numbers grow from.
using ExactShapeEstimate = WorkEstimate (*)(const RationalMatrix& read, int m, int n);

// The defaults the boxes offer, as the text shows its shape: the rows and
// the first row's entries (one fewer for a system; a square matrix the
// largest order the text fills). Empty where the text shows none.
struct ShapeDefaults {
  std::string m;
  std::string n;
};
ShapeDefaults DefaultShape(std::string_view text, MatrixShape shape);

// Asks the shape (each answer trimmed, read by the leading-number rule as a
// 16-bit integer, at least 1), refuses it when `estimate` exceeds the
// budgets, then empties the result pane and reads the matrix. In the exact
// mode the fractions are read beside the doubles and weighed by
// `exact_estimate`; a matrix with an entry that is not exact is noted on the
// trace's first line and goes on in decimals. Nothing when the command ends
// at a box or a refusal; the panes are then unchanged.
Task<std::optional<ShapedMatrix>> OpenShapedMatrix(Frame& frame, MatrixShape shape,
                                                   ShapeEstimate estimate,
                                                   ExactShapeEstimate exact_estimate = nullptr);

}  // namespace matcalc
