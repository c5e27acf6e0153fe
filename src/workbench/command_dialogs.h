// The dialogs a command asks for, as the window answers them: before each box
// the result pane is brought up to date with what the command has written so
// far, so that a question about the trace ("结果是否还要查看？") is asked in
// front of it. Otherwise the trace is shown once, when the command ends.
#pragma once

#include <cstdint>

#include "frame/dialogs.h"
#include "frame/result_pane.h"

class QPlainTextEdit;

namespace matcalc::workbench {

class PaneShowingDialogs : public Dialogs {
 public:
  PaneShowingDialogs(Dialogs& boxes, const ResultPane& pane, QPlainTextEdit& text2)
      : boxes_(boxes), pane_(pane), text2_(text2) {}

  std::optional<std::string> Input(const InputRequest& request) override;
  Reply Message(const MessageRequest& request) override;

  // Shows what is new since the pane was last shown, if anything.
  void ShowPane();

 private:
  Dialogs& boxes_;
  const ResultPane& pane_;
  QPlainTextEdit& text2_;
  std::uint64_t shown_ = 0;  // a pane nobody has touched needs no showing
};

}  // namespace matcalc::workbench
