#include "direct/opening.h"

#include "linalg/readers.h"

namespace matcalc {

std::optional<SquareMatrixText> OpenSquareMatrix(Frame& frame, const OrderBox& box,
                                                 WorkEstimate (*estimate)(int order, int digits)) {
  const std::optional<int> order = frame.AskOrder(box.prompt, box.title, box.default_text, 1);
  if (!order) return std::nullopt;
  if (frame.RefuseIfTooLarge(estimate(*order, frame.digits()))) return std::nullopt;
  SquareMatrixText input{*order, Matrix(*order, *order + 1)};
  frame.out().Clear();
  ReadSquareMatrix(input.read, input.n, frame.text1());
  return input;
}

}  // namespace matcalc
