// The result pane while a command runs. The trace goes into a document of its
// own, shown from the first box the command asks for and brought up to date
// piece by piece: only what is new since the last box is converted, so a box
// appears at once however long the trace already is. The pane's document from
// before the command stays aside until the command has ended, so that a
// stopped command gives it back untouched, without a copy of its text.
#pragma once

#include <QPointer>
#include <cstdint>
#include <memory>
#include <string_view>

#include "frame/result_pane.h"

class QPlainTextEdit;
class QTextDocument;

namespace matcalc::workbench {

class TraceDocument {
 public:
  explicit TraceDocument(QPlainTextEdit& text2);
  ~TraceDocument();
  TraceDocument(const TraceDocument&) = delete;
  TraceDocument& operator=(const TraceDocument&) = delete;

  // Shows what `pane` holds, converting only what is new. Nothing happens
  // while the command has not touched the pane.
  void Show(const ResultPane& pane);
  // The command has ended: its trace stays in the pane, complete.
  void Keep(const ResultPane& pane);
  // The command was stopped: the pane shows what it showed before.
  void Restore();

 private:
  void Append(std::string_view bytes);

  QPointer<QPlainTextEdit> text2_;
  std::unique_ptr<QTextDocument> before_;  // taken from the pane while the trace is shown
  QTextDocument* trace_ = nullptr;         // owned by the pane once shown
  std::uint64_t clears_ = 0;               // the pane's clears() that trace_ follows
  std::size_t shown_bytes_ = 0;            // bytes of the pane's text in trace_
};

}  // namespace matcalc::workbench
