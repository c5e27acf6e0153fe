#include "desk/opening.h"

#include <string_view>

#include "desk/workbench_texts.h"

namespace matcalc {
namespace {

Task<> Tell(Boxes& boxes, std::string_view text) {
  MessageRequest request;
  request.text = text;
  co_await boxes.Message(std::move(request));
}

}  // namespace

Task<OpenStep> StepForSize(Boxes& boxes, std::uint64_t size, std::size_t largest) {
  if (size > largest) {
    co_await TellTooLarge(boxes);
    co_return OpenStep::kStop;
  }
  if (size > kAskBeforeOpeningBytes) {
    const Reply reply = co_await boxes.Message(LargeFileQuestion());
    if (reply != Reply::kYes) co_return OpenStep::kStop;
  }
  co_return size == 0 ? OpenStep::kEmpty : OpenStep::kRead;
}

Task<> TellEmptyFile(Boxes& boxes) { co_await Tell(boxes, kEmptyFileText); }

Task<bool> TextFits(Boxes& boxes, std::size_t text_bytes, std::size_t largest) {
  if (text_bytes <= largest) co_return true;
  co_await TellTooLarge(boxes);
  co_return false;
}

Task<> TellTooLarge(Boxes& boxes) { co_await Tell(boxes, kFileTooLargeText); }

}  // namespace matcalc
