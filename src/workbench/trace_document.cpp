#include "workbench/trace_document.h"

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include "workbench/pane_text.h"

namespace matcalc::workbench {
namespace {

// Converted and inserted at a time: large enough to be quick, small enough
// that the UTF-16 copy of a slice costs little beside the trace itself.
constexpr std::size_t kSliceBytes = 4 << 20;

}  // namespace

TraceDocument::TraceDocument(QPlainTextEdit& text2) : text2_(&text2) {}

TraceDocument::~TraceDocument() {
  // Neither kept nor restored (the window is going): the pane keeps what it
  // shows, and the document from before goes with this object.
}

void TraceDocument::Append(std::string_view bytes) {
  QTextCursor cursor(trace_);
  cursor.movePosition(QTextCursor::End);
  while (!bytes.empty()) {
    // Slices end after a line feed, so that neither a CR LF pair nor a
    // character is cut in two.
    std::size_t size = bytes.size();
    if (size > kSliceBytes) {
      const std::size_t line_end = bytes.rfind('\n', kSliceBytes);
      size = line_end == std::string_view::npos ? bytes.size() : line_end + 1;
    }
    cursor.insertText(ToPaneLines(
        QString::fromUtf8(bytes.data(), static_cast<qsizetype>(size))));
    bytes.remove_prefix(size);
  }
}

void TraceDocument::Show(const ResultPane& pane) {
  if (!pane.changed() || text2_ == nullptr) return;
  if (trace_ == nullptr) {
    trace_ = new QTextDocument;
    trace_->setDocumentLayout(new QPlainTextDocumentLayout(trace_));
    trace_->setUndoRedoEnabled(false);
    trace_->setDefaultFont(text2_->font());
    if (pane.clears() == 0) {
      // The command writes on after what the pane held: that text comes first.
      Append(PaneText(*text2_));
    }
    QTextDocument* before = text2_->document();
    // The pane would delete a document of its own when given another one.
    before->setParent(nullptr);
    before_.reset(before);
    text2_->setDocument(trace_);
    trace_->setParent(text2_);
    clears_ = pane.clears();
  }
  if (pane.clears() != clears_) {
    trace_->clear();
    clears_ = pane.clears();
    shown_bytes_ = 0;
  }
  std::string_view text = pane.text();
  text.remove_prefix(shown_bytes_);
  // A CR at the end may be the first half of a line break still to come.
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  Append(text);
  shown_bytes_ += text.size();
}

void TraceDocument::Keep(const ResultPane& pane) {
  Show(pane);
  if (trace_ != nullptr && shown_bytes_ < pane.text().size()) {
    Append(std::string_view(pane.text()).substr(shown_bytes_));
    shown_bytes_ = pane.text().size();
  }
  before_.reset();
}

void TraceDocument::Restore() {
  if (trace_ == nullptr || text2_ == nullptr) return;
  QTextDocument* before = before_.release();
  text2_->setDocument(before);
  before->setParent(text2_);
  delete trace_;
  trace_ = nullptr;
}

}  // namespace matcalc::workbench
