// The result pane while a command runs. The trace goes into a document of its
// own as it is written, converted piece by piece (the command hands over what
// it has written every few megabytes), so the window never holds the trace
// twice and a box appears at once however long the trace is. The document is
// shown from the first box the command asks for. The pane's document from
// before the command stays aside until the command has ended, so that a
// stopped command gives it back untouched, without a copy of its text.
#pragma once

#include <QPointer>
#include <cstdint>
#include <memory>
#include <string_view>

class QPlainTextEdit;
class QTextDocument;

namespace matcalc::workbench {

// The memory a plain-text document holds for its text: two bytes a character
// and some 500 bytes a line (its block and layout), as measured with Qt 6.4
// on lines of 10 to 7200 characters.
double DocumentBytes(const QTextDocument& document);

class TraceDocument {
 public:
  explicit TraceDocument(QPlainTextEdit& text2);
  ~TraceDocument();
  TraceDocument(const TraceDocument&) = delete;
  TraceDocument& operator=(const TraceDocument&) = delete;

  // Adds `bytes` (UTF-8, CR LF line breaks) written after the command's
  // `clears`-th Clear of its pane; a higher count than before empties the
  // trace first. With no Clear at all the command writes on after what the
  // pane held, which then comes first.
  void Write(std::string_view bytes, std::uint64_t clears);
  // Shows the trace written so far in the pane (when anything was written).
  void Show();
  // The command has ended: its trace stays in the pane, complete.
  void Keep();
  // The command was stopped: the pane shows what it showed before.
  void Restore();

 private:
  void Insert(std::string_view bytes);

  QPointer<QPlainTextEdit> text2_;
  std::unique_ptr<QTextDocument> before_;  // taken from the pane while the trace is shown
  std::unique_ptr<QTextDocument> trace_;   // until it is shown
  QTextDocument* shown_ = nullptr;         // the trace, owned by the pane once shown
  std::uint64_t clears_ = 0;
  bool held_cr_ = false;  // a CR at the end of the last piece, perhaps half a line break
};

}  // namespace matcalc::workbench
