// Copying a pane's selection to the clipboard without a second and third copy
// of a long trace: the selection goes on the clipboard as UTF-8 text built a
// block at a time from the document (Qt's own copy would hold the selection
// as a document fragment and as UTF-16 text besides). A long selection is
// built between the window's events, a slice at a time.
#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTimer>

class QPlainTextEdit;
class QTextDocument;

namespace matcalc::workbench {

// The text between pane positions `start` and `end` as UTF-8 with LF line
// breaks, appended to `out`; `block` is the block where `start` lies, and
// moves on. Stops after about `most_bytes` (a block's part at least) and
// returns the position reached.
int AppendSelection(QTextBlock& block, int start, int end, QByteArray& out, qsizetype most_bytes);

// The selection between `start` and `end` of `document` as clipboard data:
// UTF-8 text built at once for a short selection; for a long one built only
// when asked for, and nothing once the document has changed (the selection
// the X11 primary clipboard gets on every select-all, say, is then never
// built unless pasted).
QMimeData* SelectionData(const QTextDocument& document, int start, int end);

// A pane whose own copy, drag and selection clipboard go through
// SelectionData instead of a copy of the document.
class PaneEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  QMimeData* createMimeDataFromSelection() const override;
};

class PaneCopy : public QObject {
  Q_OBJECT
 public:
  // A selection of more characters than this is built between events.
  static constexpr int kCopyNowCharacters = 2'000'000;

  // Copies `pane`'s selection once started; `ended` follows (at once for a
  // short one, or unless `between_events`). With nothing selected the
  // clipboard keeps what it holds.
  PaneCopy(QPlainTextEdit& pane, QObject* parent = nullptr);
  void Start(bool between_events);
  void Stop();
  bool long_selection() const { return end_ - start_ > kCopyNowCharacters; }
  // The data put on the clipboard once copied (the clipboard owns it), and
  // its bytes.
  QMimeData* data() const { return data_; }
  qsizetype copied_bytes() const { return copied_bytes_; }

 signals:
  void progress(qint64 done, qint64 total);
  // `copied` unless stopped or the pane went away.
  void ended(bool copied);

 private:
  bool Slice();
  void End(bool copied);

  QPointer<QTextDocument> document_;
  int start_ = 0;
  int end_ = 0;
  int at_ = 0;
  QTextBlock block_;
  QByteArray bytes_;
  QPointer<QMimeData> data_;
  qsizetype copied_bytes_ = 0;
  QTimer timer_;
  bool ended_ = false;
};

}  // namespace matcalc::workbench
