#include "orthogonal/matrix_input.h"

#include <algorithm>
#include <string>
#include <vector>

#include "eigenvalue/eigen_common.h"
#include "frame/budget.h"
#include "linalg/readers.h"
#include "text/evaluator.h"
#include "text/number_text.h"
#include "text/text_util.h"

namespace matcalc {

TextShape ShapeOfText(std::string_view text) {
  TextShape shape;
  WalkMatrixText(text, [&](const TextEntry& e) {
    shape.rows = std::max(shape.rows, e.row);
    if (e.row == 1) shape.first_row_entries = e.column;
  });
  return shape;
}

void ReadRowsOf(Matrix& a, int m, int limit, std::string_view text, WorkMeter* meter) {
  // One buffer for all rows, never cleared: a short row keeps the values of
  // the row above in its higher places.
  std::vector<double> buffer(static_cast<std::size_t>(limit) + 1, 0.0);
  int stored = 0;   // rows 1..stored are in `a`
  int current = 0;  // the row whose entries are being read
  const auto store_up_to = [&](int last) {
    for (; stored < std::min(last, m); ++stored) {
      double* dest = a.row(stored + 1);
      for (int j = 1; j <= limit; ++j) dest[j] = buffer[static_cast<std::size_t>(j)];
    }
  };
  std::size_t counted = 0;
  WalkMatrixText(TrimSpaces(text), [&](const TextEntry& e) {
    if (e.row > m) return;
    if (e.row != current) {
      store_up_to(current);
      current = e.row;
      Advance(meter, static_cast<double>(e.begin - counted));
      counted = e.begin;
    }
    if (e.column <= limit) buffer[static_cast<std::size_t>(e.column)] = EvaluateEntry(e.text);
  });
  store_up_to(current);
  // Rows the text does not have read as empty rows: their first entry is the
  // empty entry's value, the others stay.
  while (stored < m) {
    buffer[1] = EvaluateEntry(std::string_view{});
    store_up_to(stored + 1);
  }
}

std::optional<ShapedMatrix> OpenShapedMatrix(Frame& frame, bool augmented,
                                             ShapeEstimate estimate) {
  const TextShape shape = ShapeOfText(frame.text1());
  const int rows = std::max(shape.rows, 1);
  const int columns = std::max(shape.first_row_entries - (augmented ? 1 : 0), 1);
  const std::optional<int> m = frame.AskOrder(augmented ? kEquationsPrompt : kRowsPrompt,
                                              kInputTitle, FormatNumber(rows), 1);
  if (!m) return std::nullopt;
  const std::optional<int> n = frame.AskOrder(augmented ? kUnknownsPrompt : kColumnsPrompt,
                                              kInputTitle, FormatNumber(columns), 1);
  if (!n) return std::nullopt;
  if (frame.RefuseIfTooLarge(estimate(*m, *n, frame.digits()))) return std::nullopt;
  const int limit = *n + (augmented ? 1 : 0);
  ShapedMatrix input{*m, *n, Matrix(*m, limit)};
  frame.out().Clear();
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadRowsOf(input.read, *m, limit, frame.text1(), &reading);
  return input;
}

}  // namespace matcalc
