// How the commands of the orthogonal transformations open: the shape boxes
// (rows m, then columns n, each defaulting to what the text shows), the
// budgets' verdict on that shape, then the m x n matrix (or [A | b]) read
// from the edit pane by the square reader's rules.
#pragma once

#include <optional>
#include <string_view>

#include "frame/frame.h"
#include "linalg/matrix.h"

namespace matcalc {

inline constexpr std::string_view kRowsPrompt = "输入矩阵的行数 m：";
inline constexpr std::string_view kColumnsPrompt = "输入矩阵的列数 n：";
inline constexpr std::string_view kEquationsPrompt = "输入方程组中方程的个数 m：";
inline constexpr std::string_view kUnknownsPrompt = "输入方程组中未知数的个数 n：";

// The rows the readers find in `text` and the entries of its first row.
struct TextShape {
  int rows = 0;
  int first_row_entries = 0;
};
TextShape ShapeOfText(std::string_view text);

// Fills rows 1..m, columns 1..limit of `a` (allocated as m x limit or
// larger) as the square reader fills its rows: a short row keeps the values
// of the row above in its missing places, a missing row reads as an empty
// one, surplus entries and rows are ignored.
void ReadRowsOf(Matrix& a, int m, int limit, std::string_view text, WorkMeter* meter = nullptr);

struct ShapedMatrix {
  int m = 0;
  int n = 0;
  Matrix read;  // m x n, or m x (n + 1) with b in column n + 1
};

// The two boxes, the budgets and the reading. Nothing when a box was
// cancelled, empty or below 1, or the shape was refused; the panes are then
// as they were. Otherwise the result pane has been emptied.
using ShapeEstimate = WorkEstimate (*)(int m, int n, int digits);
std::optional<ShapedMatrix> OpenShapedMatrix(Frame& frame, bool augmented,
                                             ShapeEstimate estimate);

}  // namespace matcalc
