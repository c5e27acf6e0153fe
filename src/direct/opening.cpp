#include "direct/opening.h"

#include "frame/exact_layout.h"
#include "linalg/readers.h"

namespace matcalc {

Task<std::optional<SquareMatrixText>> OpenSquareMatrix(
    Frame& frame, const OrderBox& box, WorkEstimate (*estimate)(int order, int digits),
    ExactEstimate exact_estimate, int exact_extra_columns) {
  const std::optional<int> order =
      co_await frame.AskOrder(box.prompt, box.title, box.default_text, 1);
  if (!order) co_return std::nullopt;
  const bool refused = co_await frame.RefuseIfTooLarge(estimate(*order, frame.digits()));
  if (refused) co_return std::nullopt;
  SquareMatrixText input{*order, Matrix(*order, *order + 1), std::nullopt};
  if (frame.exact() && exact_estimate != nullptr) {
    // A fraction takes several times a double's memory before it grows at
    // all: the fractions read (allocated like the doubles) must fit before
    // they are read.
    const double slots = (input.n + 1.0) * (input.n + 2.0);
    const WorkEstimate reading_fractions{slots * (sizeof(Rational) + sizeof(double)), 0,
                                         slots * kExactUpdateNs};
    const bool too_large = co_await frame.RefuseIfTooLarge(reading_fractions);
    if (too_large) co_return std::nullopt;
    // Read before the pane is emptied: a refusal leaves it as it was.
    UnitMeter reading(frame.progress(), kTextByteNs);
    RationalMatrix exact;
    const bool all_exact = ReadSquareMatrixExact(input.read, exact, input.n, frame.text1(),
                                                 input.n + exact_extra_columns, &reading);
    if (all_exact) {
      const bool too_long = co_await frame.RefuseIfNumbersTooLong(exact_estimate(exact, input.n));
      if (too_long) co_return std::nullopt;
    }
    frame.out().Clear();
    if (all_exact)
      input.exact = std::move(exact);
    else
      frame.out().Append(kNotExactNote).NewLine();
    co_return input;
  }
  frame.out().Clear();
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadSquareMatrix(input.read, input.n, frame.text1(), &reading);
  co_return input;
}

}  // namespace matcalc
