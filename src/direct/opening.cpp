#include "direct/opening.h"

#include "frame/exact_layout.h"
#include "linalg/readers.h"

namespace matcalc {

std::optional<SquareMatrixText> OpenSquareMatrix(Frame& frame, const OrderBox& box,
                                                 WorkEstimate (*estimate)(int order, int digits),
                                                 ExactEstimate exact_estimate) {
  const std::optional<int> order = frame.AskOrder(box.prompt, box.title, box.default_text, 1);
  if (!order) return std::nullopt;
  if (frame.RefuseIfTooLarge(estimate(*order, frame.digits()))) return std::nullopt;
  SquareMatrixText input{*order, Matrix(*order, *order + 1), std::nullopt};
  if (frame.exact() && exact_estimate != nullptr) {
    // Read before the pane is emptied: a refusal leaves it as it was.
    UnitMeter reading(frame.progress(), kTextByteNs);
    RationalMatrix exact;
    const bool all_exact =
        ReadSquareMatrixExact(input.read, exact, input.n, frame.text1(), input.n, &reading);
    if (all_exact && frame.RefuseIfNumbersTooLong(exact_estimate(exact, input.n))) {
      return std::nullopt;
    }
    frame.out().Clear();
    if (all_exact)
      input.exact = std::move(exact);
    else
      frame.out().Append(kNotExactNote).NewLine();
    return input;
  }
  frame.out().Clear();
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadSquareMatrix(input.read, input.n, frame.text1(), &reading);
  return input;
}

}  // namespace matcalc
