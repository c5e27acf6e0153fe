#include "workbench/command_dialogs.h"

#include "workbench/pane_text.h"

namespace matcalc::workbench {

std::optional<std::string> PaneShowingDialogs::Input(const InputRequest& request) {
  ShowPane();
  return boxes_.Input(request);
}

Reply PaneShowingDialogs::Message(const MessageRequest& request) {
  ShowPane();
  return boxes_.Message(request);
}

void PaneShowingDialogs::ShowPane() {
  if (pane_.revision() == shown_) return;
  shown_ = pane_.revision();
  SetPaneText(text2_, pane_.text());
}

}  // namespace matcalc::workbench
