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

constexpr double kCharacterBytes = 2.2;
constexpr double kLineBytes = 480;

}  // namespace

double DocumentBytes(const QTextDocument& document) {
  return document.characterCount() * kCharacterBytes + document.blockCount() * kLineBytes;
}

TraceDocument::TraceDocument(QPlainTextEdit& text2) : text2_(&text2) {}

// Neither kept nor restored (the window is going): the pane keeps what it
// shows, and a document not shown goes with this object.
TraceDocument::~TraceDocument() = default;

void TraceDocument::Insert(std::string_view bytes) {
  QTextDocument* document = shown_ != nullptr ? shown_ : trace_.get();
  QTextCursor cursor(document);
  cursor.movePosition(QTextCursor::End);
  while (!bytes.empty()) {
    // Slices end after a line feed, so that neither a CR LF pair nor a
    // character is cut in two.
    std::size_t size = bytes.size();
    if (size > kSliceBytes) {
      const std::size_t line_end = bytes.rfind('\n', kSliceBytes);
      size = line_end == std::string_view::npos ? bytes.size() : line_end + 1;
    }
    cursor.insertText(ToPaneLines(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(size))));
    bytes.remove_prefix(size);
  }
}

void TraceDocument::Write(std::string_view bytes, std::uint64_t clears) {
  if (text2_ == nullptr) return;
  if (trace_ == nullptr && shown_ == nullptr) {
    trace_ = std::make_unique<QTextDocument>();
    trace_->setDocumentLayout(new QPlainTextDocumentLayout(trace_.get()));
    trace_->setUndoRedoEnabled(false);
    clears_ = clears;
    if (clears == 0) Insert(PaneText(*text2_));
  }
  if (clears != clears_) {
    (shown_ != nullptr ? shown_ : trace_.get())->clear();
    clears_ = clears;
    held_cr_ = false;
  }
  if (held_cr_) {
    // The CR held back and a line feed make one line break.
    held_cr_ = false;
    if (!bytes.empty() && bytes.front() == '\n') {
      bytes.remove_prefix(1);
      Insert("\n");
    } else {
      Insert("\r");
    }
  }
  if (!bytes.empty() && bytes.back() == '\r') {
    held_cr_ = true;
    bytes.remove_suffix(1);
  }
  Insert(bytes);
}

void TraceDocument::Show() {
  if (trace_ == nullptr || text2_ == nullptr) return;
  QTextDocument* before = text2_->document();
  // The pane would delete a document of its own when given another one.
  before->setParent(nullptr);
  before_.reset(before);
  shown_ = trace_.release();
  // The font may have been changed while the command computed.
  shown_->setDefaultFont(text2_->font());
  text2_->setDocument(shown_);
  shown_->setParent(text2_);
}

void TraceDocument::Keep() {
  if (held_cr_) {
    held_cr_ = false;
    Insert("\r");
  }
  Show();
  before_.reset();
}

void TraceDocument::Restore() {
  trace_.reset();
  if (shown_ == nullptr || text2_ == nullptr) return;
  QTextDocument* before = before_.release();
  text2_->setDocument(before);
  before->setParent(text2_);
  delete shown_;
  shown_ = nullptr;
}

}  // namespace matcalc::workbench
