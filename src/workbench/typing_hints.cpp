#include "workbench/typing_hints.h"

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolTip>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "desk/reading_text.h"
#include "workbench/pane_text.h"

namespace matcalc::workbench {

PaneHints ReadHints(const std::string& text) {
  const PaneReading reading = ReadForPane(text);
  PaneHints hints;
  hints.summary = QString::fromStdString(reading.summary);
  hints.marks.reserve(reading.marks.size());
  for (const PaneMark& mark : reading.marks) {
    hints.marks.push_back({mark.start, mark.end, QString::fromStdString(mark.tip)});
  }
  return hints;
}

TypingHints::TypingHints(QPlainTextEdit* pane, QLabel* label)
    : QObject(pane), pane_(pane), label_(label) {
  pause_.setSingleShot(true);
  pause_.setInterval(kPauseMs);
  connect(&pause_, &QTimer::timeout, this, &TypingHints::Start);
  connect(&watcher_, &QFutureWatcher<PaneHints>::finished, this, &TypingHints::Finished);
  connect(pane, &QPlainTextEdit::textChanged, this, &TypingHints::Changed);
  pane->viewport()->installEventFilter(this);
  Changed();
}

TypingHints::~TypingHints() { watcher_.waitForFinished(); }

void TypingHints::Changed() {
  ++generation_;
  pause_.start();
}

void TypingHints::Start() {
  if (pane_ == nullptr) return;
  if (watcher_.isRunning()) {
    restart_ = true;  // read again when this one is done
    return;
  }
  restart_ = false;
  const quint64 generation = generation_;
  std::string text = PaneText(*pane_);
  watcher_.setFuture(QtConcurrent::run([generation, text = std::move(text)] {
    PaneHints hints = ReadHints(text);
    hints.generation = generation;
    return hints;
  }));
}

void TypingHints::Finished() {
  PaneHints hints = watcher_.result();
  if (restart_ || hints.generation != generation_) {
    // Typing went on meanwhile: the newer text is read after its pause.
    if (!pause_.isActive()) Start();
    return;
  }
  current_ = std::move(hints);
  Show();
  emit updated();
}

void TypingHints::Show() {
  if (label_ != nullptr) label_->setText(current_.summary);
  if (pane_ == nullptr) return;
  QTextCharFormat format;
  format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
  format.setUnderlineColor(QColor(0xd0, 0x20, 0x20));
  format.setBackground(QColor(0xff, 0xf0, 0xc0));
  QList<QTextEdit::ExtraSelection> selections;
  selections.reserve(static_cast<qsizetype>(current_.marks.size()));
  QTextDocument* document = pane_->document();
  const int length = document->characterCount() - 1;
  for (const HintMark& mark : current_.marks) {
    if (mark.end > length) break;
    QTextEdit::ExtraSelection selection;
    selection.cursor = QTextCursor(document);
    selection.cursor.setPosition(mark.start);
    selection.cursor.setPosition(mark.end, QTextCursor::KeepAnchor);
    selection.format = format;
    selections.append(selection);
  }
  pane_->setExtraSelections(selections);
}

QString TypingHints::TipAt(int position) const {
  const auto after = std::upper_bound(current_.marks.begin(), current_.marks.end(), position,
                                      [](int p, const HintMark& mark) { return p < mark.start; });
  if (after == current_.marks.begin()) return {};
  const HintMark& mark = *(after - 1);
  return position <= mark.end ? mark.tip : QString();
}

bool TypingHints::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip && pane_ != nullptr && watched == pane_->viewport()) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = TipAt(pane_->cursorForPosition(help->pos()).position());
    if (tip.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), tip, pane_->viewport());
    }
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace matcalc::workbench
