// Hints while typing: as the edit pane changes, a label in the status line
// says how the text will be read, and the entries read only in part or not at
// all are underlined in the pane, the value read shown on hover. The reading
// is the core's (DescribeText), done off the window's thread after a pause in
// typing; a reading overtaken by newer text is dropped.
#pragma once

#include <QFutureWatcher>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <vector>

class QPlainTextEdit;

namespace matcalc::workbench {

// What the pane shows for one reading, positions in the pane's characters.
struct HintMark {
  int start = 0;
  int end = 0;
  QString tip;
};
struct PaneHints {
  quint64 generation = 0;
  QString summary;  // empty for a blank text
  std::vector<HintMark> marks;
};

// Reads `text` (the pane's text as the commands get it: UTF-8, CR LF) and
// maps the byte offsets to pane positions, where CR LF counts once.
PaneHints ReadHints(const std::string& text);

class TypingHints : public QObject {
  Q_OBJECT
 public:
  // Shows the summary in `label` and marks `pane`.
  TypingHints(QPlainTextEdit* pane, QLabel* label);
  ~TypingHints() override;

  const PaneHints& current() const { return current_; }
  // The tooltip for a pane position, empty outside the marks.
  QString TipAt(int position) const;

  static constexpr int kPauseMs = 250;

 signals:
  // The marks and the summary show the pane's current text.
  void updated();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Changed();
  void Start();
  void Finished();
  void Show();

  QPointer<QPlainTextEdit> pane_;
  QPointer<QLabel> label_;
  QTimer pause_;
  QFutureWatcher<PaneHints> watcher_;
  quint64 generation_ = 0;  // of the pane's text
  bool restart_ = false;    // the text changed while a reading ran
  PaneHints current_;
};

}  // namespace matcalc::workbench
