#include "desk/opening.h"

#include <string_view>

#include "desk/workbench_texts.h"

namespace matcalc {
namespace {

void Tell(Dialogs& dialogs, std::string_view text) {
  MessageRequest request;
  request.text = text;
  dialogs.Message(request);
}

}  // namespace

OpenStep StepForSize(Dialogs& dialogs, std::uint64_t size, std::size_t largest) {
  if (size > largest) {
    TellTooLarge(dialogs);
    return OpenStep::kStop;
  }
  if (size > kAskBeforeOpeningBytes && dialogs.Message(LargeFileQuestion()) != Reply::kYes) {
    return OpenStep::kStop;
  }
  return size == 0 ? OpenStep::kEmpty : OpenStep::kRead;
}

void TellEmptyFile(Dialogs& dialogs) { Tell(dialogs, kEmptyFileText); }

bool TextFits(Dialogs& dialogs, std::size_t text_bytes, std::size_t largest) {
  if (text_bytes <= largest) return true;
  TellTooLarge(dialogs);
  return false;
}

void TellTooLarge(Dialogs& dialogs) { Tell(dialogs, kFileTooLargeText); }

}  // namespace matcalc
