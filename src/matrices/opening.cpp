#include "matrices/opening.h"

#include <string>

#include "linalg/readers.h"
#include "linalg/reading_hints.h"

namespace matcalc {
namespace {

std::string CountText(int count) { return count > 0 ? std::to_string(count) : std::string(); }

}  // namespace

ShapeDefaults DefaultShape(std::string_view text, MatrixShape shape) {
  const TextShape seen = ShapeOfText(text);
  switch (shape) {
    case MatrixShape::kAnyShape:
      return {CountText(seen.rows), CountText(seen.first_row_entries)};
    case MatrixShape::kSystem:
      return {CountText(seen.rows), CountText(seen.first_row_entries - 1)};
    case MatrixShape::kSquare:
      break;
  }
  return {CountText(seen.largest_order), CountText(seen.largest_order)};
}

std::optional<ShapedMatrix> OpenShapedMatrix(Frame& frame, MatrixShape shape,
                                             ShapeEstimate estimate) {
  const ShapeDefaults defaults = DefaultShape(frame.text1(), shape);
  ShapedMatrix input;
  if (shape == MatrixShape::kSquare) {
    const std::optional<int> order = frame.AskOrder(kOrderPrompt, kInputTitle, defaults.n, 1);
    if (!order) return std::nullopt;
    input.m = input.n = *order;
  } else {
    const bool system = shape == MatrixShape::kSystem;
    const std::optional<int> m =
        frame.AskOrder(system ? kEquationsPrompt : kRowsPrompt, kInputTitle, defaults.m, 1);
    if (!m) return std::nullopt;
    const std::optional<int> n =
        frame.AskOrder(system ? kUnknownsPrompt : kColumnsPrompt, kInputTitle, defaults.n, 1);
    if (!n) return std::nullopt;
    input.m = *m;
    input.n = *n;
  }
  if (frame.RefuseIfTooLarge(estimate(input.m, input.n, frame.digits()))) return std::nullopt;
  frame.out().Clear();
  UnitMeter reading(frame.progress(), kTextByteNs);
  // An order of 32767 and one more column stays within int.
  const int columns = shape == MatrixShape::kSystem ? input.n + 1 : input.n;
  ReadMatrix(input.read, input.m, columns, frame.text1(), &reading);
  return input;
}

}  // namespace matcalc
