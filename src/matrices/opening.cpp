#include "matrices/opening.h"

#include <string>

#include "frame/exact_layout.h"
#include "linalg/exact_readers.h"
#include "linalg/readers.h"
#include "linalg/reading_hints.h"

namespace matcalc {
namespace {

std::string CountText(int count) { return count > 0 ? std::to_string(count) : std::string(); }

// The matrix read in both kinds, the fractions at their smallest.
WorkEstimate ExactReadingWork(int m, int columns) {
  const double slots = (m + 1.0) * (columns + 1.0);
  return {slots * (sizeof(Rational) + sizeof(double)), 0, slots * kExactUpdateNs};
}

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

Task<std::optional<ShapedMatrix>> OpenShapedMatrix(Frame& frame, MatrixShape shape,
                                                   ShapeEstimate estimate,
                                                   ExactShapeEstimate exact_estimate) {
  const ShapeDefaults defaults = DefaultShape(frame.text1(), shape);
  ShapedMatrix input;
  if (shape == MatrixShape::kSquare) {
    const std::optional<int> order =
        co_await frame.AskOrder(kOrderPrompt, kInputTitle, defaults.n, 1);
    if (!order) co_return std::nullopt;
    input.m = input.n = *order;
  } else {
    const bool system = shape == MatrixShape::kSystem;
    const std::optional<int> m = co_await frame.AskOrder(system ? kEquationsPrompt : kRowsPrompt,
                                                         kInputTitle, defaults.m, 1);
    if (!m) co_return std::nullopt;
    const std::optional<int> n = co_await frame.AskOrder(system ? kUnknownsPrompt : kColumnsPrompt,
                                                         kInputTitle, defaults.n, 1);
    if (!n) co_return std::nullopt;
    input.m = *m;
    input.n = *n;
  }
  const bool refused = co_await frame.RefuseIfTooLarge(estimate(input.m, input.n, frame.digits()));
  if (refused) co_return std::nullopt;
  UnitMeter reading(frame.progress(), kTextByteNs);
  // An order of 32767 and one more column stays within int.
  const int columns = shape == MatrixShape::kSystem ? input.n + 1 : input.n;
  if (frame.exact() && exact_estimate != nullptr) {
    // A fraction takes several times a double's memory before it grows at
    // all: the fractions read must fit before they are read.
    const bool too_large = co_await frame.RefuseIfTooLarge(ExactReadingWork(input.m, columns));
    if (too_large) co_return std::nullopt;
    // Read before the pane is emptied: a refusal leaves it as it was.
    RationalMatrix exact;
    const bool all_exact =
        ReadMatrixExact(input.read, exact, input.m, columns, frame.text1(), &reading);
    if (all_exact) {
      const bool too_long =
          co_await frame.RefuseIfNumbersTooLong(exact_estimate(exact, input.m, input.n));
      if (too_long) co_return std::nullopt;
    }
    frame.out().Clear();
    if (all_exact) {
      input.exact = std::move(exact);
    } else {
      frame.out().Append(kNotExactNote).NewLine();
    }
    co_return input;
  }
  frame.out().Clear();
  ReadMatrix(input.read, input.m, columns, frame.text1(), &reading);
  co_return input;
}

}  // namespace matcalc
