#include "workbench/pane_copy.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>

namespace matcalc::workbench {
namespace {

constexpr qsizetype kSliceBytes = 1 << 20;
constexpr int kSliceMs = 25;

void AppendLines(QByteArray& out, QStringView text) {
  qsizetype from = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QChar::LineSeparator || text[i] == QChar::ParagraphSeparator) {
      out += text.mid(from, i - from).toUtf8();
      out += '\n';
      from = i + 1;
    }
  }
  out += text.mid(from).toUtf8();
}

}  // namespace

int AppendSelection(QTextBlock& block, int start, int end, QByteArray& out, qsizetype most_bytes) {
  const qsizetype limit = out.size() + most_bytes;
  int at = start;
  while (block.isValid() && at < end) {
    const int block_start = block.position();
    const QString text = block.text();
    const int from = at - block_start;
    const int to = std::min<int>(end - block_start, static_cast<int>(text.size()));
    if (to > from) AppendLines(out, QStringView(text).mid(from, to - from));
    // The block's break, when the selection reaches past it.
    const int block_end = block_start + block.length();  // after its break
    if (end >= block_end) {
      out += '\n';
      at = block_end;
      block = block.next();
    } else {
      at = end;
    }
    if (out.size() >= limit) break;
  }
  return at;
}

namespace {

// Built when a reader asks, from the document as it was when copied.
class LazySelection : public QMimeData {
 public:
  LazySelection(const QTextDocument& document, int start, int end)
      : document_(&document), revision_(document.revision()), start_(start), end_(end) {}

  QStringList formats() const override { return {QStringLiteral("text/plain")}; }

 protected:
  QVariant retrieveData(const QString& mime, QMetaType type) const override {
    if (!mime.startsWith(QStringLiteral("text/plain"))) return {};
    QByteArray bytes;
    if (document_ != nullptr && document_->revision() == revision_) {
      QTextBlock block = document_->findBlock(start_);
      bytes.reserve(static_cast<qsizetype>(end_ - start_));
      AppendSelection(block, start_, end_, bytes, static_cast<qsizetype>(end_ - start_) * 4 + 16);
    }
    if (type.id() == QMetaType::QString) return QString::fromUtf8(bytes);
    return bytes;
  }

 private:
  QPointer<const QTextDocument> document_;
  int revision_;
  int start_;
  int end_;
};

}  // namespace

QMimeData* SelectionData(const QTextDocument& document, int start, int end) {
  if (end - start > PaneCopy::kCopyNowCharacters) return new LazySelection(document, start, end);
  QByteArray bytes;
  QTextBlock block = document.findBlock(start);
  AppendSelection(block, start, end, bytes, static_cast<qsizetype>(end - start) * 4 + 16);
  auto* data = new QMimeData;
  data->setData(QStringLiteral("text/plain"), bytes);
  return data;
}

QMimeData* PaneEdit::createMimeDataFromSelection() const {
  const QTextCursor cursor = textCursor();
  return SelectionData(*document(), cursor.selectionStart(), cursor.selectionEnd());
}

PaneCopy::PaneCopy(QPlainTextEdit& pane, QObject* parent)
    : QObject(parent), document_(pane.document()) {
  const QTextCursor cursor = pane.textCursor();
  start_ = cursor.selectionStart();
  end_ = cursor.selectionEnd();
  at_ = start_;
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (!Slice()) timer_.stop();
  });
}

void PaneCopy::Start(bool between_events) {
  if (start_ == end_ || document_ == nullptr) {
    End(false);
    return;
  }
  block_ = document_->findBlock(start_);
  // Mostly one byte a character: the bytes grow in place after this.
  bytes_.reserve(static_cast<qsizetype>(end_ - start_) + (end_ - start_) / 16);
  if (!between_events || !long_selection()) {
    while (Slice()) {
    }
    return;
  }
  timer_.start();
}

void PaneCopy::Stop() {
  timer_.stop();
  End(false);
}

bool PaneCopy::Slice() {
  if (ended_) return false;
  if (document_ == nullptr) {
    End(false);
    return false;
  }
  QElapsedTimer clock;
  clock.start();
  while (at_ < end_ && clock.elapsed() < kSliceMs) {
    at_ = AppendSelection(block_, at_, end_, bytes_, kSliceBytes);
  }
  emit progress(at_ - start_, end_ - start_);
  if (at_ < end_) return true;
  auto* data = new QMimeData;
  data->setData(QStringLiteral("text/plain;charset=utf-8"), bytes_);
  data->setData(QStringLiteral("text/plain"), bytes_);
  copied_bytes_ = bytes_.size();
  bytes_.clear();
  data_ = data;
  QApplication::clipboard()->setMimeData(data);
  End(true);
  return false;
}

void PaneCopy::End(bool copied) {
  if (ended_) return;
  ended_ = true;
  bytes_ = QByteArray();
  emit ended(copied);
}

}  // namespace matcalc::workbench
