// How the direct methods on a square matrix open: the order box, the budgets'
// verdict on that order, then the matrix read from the edit pane.
#pragma once

#include <optional>
#include <string_view>

#include "frame/frame.h"
#include "linalg/exact_readers.h"
#include "linalg/matrix.h"

namespace matcalc {

// The order box of a direct method: its prompt, title and default answer.
struct OrderBox {
  std::string_view prompt = kOrderPrompt;
  std::string_view title;
  std::string_view default_text;
};

struct SquareMatrixText {
  int n = 0;
  // Rows 1..n and columns 1..n+1 as ReadSquareMatrix fills them.
  Matrix read;
  // In the exact mode, when every entry of columns 1..n is exact: their
  // fractions (allocated like `read`).
  std::optional<RationalMatrix> exact;
};

// What a method needs of exact fractions for the matrix read: its estimate
// of the work and memory, from the digits the fractions can reach.
using ExactEstimate = WorkEstimate (*)(const RationalMatrix& a, int n);

// Asks the order (at least 1), refuses it when `estimate` of it exceeds the
// budgets, then empties the result pane and reads the matrix from the edit
// pane. Nothing when the command ends at the box or the refusal; the panes
// are then as they were.
//
// In the exact mode (frame.exact()) with an `exact_estimate`, the matrix is
// read exactly as well (columns 1..n, and the right-hand side with
// `exact_extra_columns` 1); an exact matrix whose fractions would outgrow the
// budgets is refused (the panes as they were), and a matrix that is not
// exact is read in decimals after the note that says so, the trace's first
// line.
Task<std::optional<SquareMatrixText>> OpenSquareMatrix(
    Frame& frame, const OrderBox& box, WorkEstimate (*estimate)(int order, int digits),
    ExactEstimate exact_estimate = nullptr, int exact_extra_columns = 0);

}  // namespace matcalc
