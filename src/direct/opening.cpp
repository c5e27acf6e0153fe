#include "direct/opening.h"

#include "linalg/readers.h"

namespace matcalc {

Task<std::optional<SquareMatrixText>> OpenSquareMatrix(Frame& frame, const OrderBox& box,
                                                       WorkEstimate (*estimate)(int order,
                                                                                int digits)) {
  const std::optional<int> order =
      co_await frame.AskOrder(box.prompt, box.title, box.default_text, 1);
  if (!order) co_return std::nullopt;
  const bool refused = co_await frame.RefuseIfTooLarge(estimate(*order, frame.digits()));
  if (refused) co_return std::nullopt;
  SquareMatrixText input{*order, Matrix(*order, *order + 1)};
  frame.out().Clear();
  UnitMeter reading(frame.progress(), kTextByteNs);
  ReadSquareMatrix(input.read, input.n, frame.text1(), &reading);
  co_return input;
}

}  // namespace matcalc
