#include "workbench/workbench_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFontDialog>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <algorithm>
#include <climits>

#include "desk/menus.h"
#include "desk/settings.h"
#include "desk/workbench_texts.h"
#include "workbench/about_box.h"
#include "workbench/actions.h"
#include "workbench/beyond_trace.h"
#include "workbench/command_run.h"
#include "workbench/display_settings.h"
#include "workbench/help_window.h"
#include "workbench/pane_copy.h"
#include "workbench/pane_text.h"
#include "workbench/placement.h"
#include "workbench/program_folder.h"
#include "workbench/splitter.h"
#include "workbench/trace_document.h"

namespace matcalc::workbench {
namespace {

// Where the splitter stands before the user moves it: the edit pane takes
// about a third of a window of the first size.
constexpr int kInitialSplitterTwips = 4500;
constexpr int kInitialWidthPixels = 900;
constexpr int kInitialHeightPixels = 600;

QPlainTextEdit* MakePane(QWidget* parent, const char* name) {
  // Its own copy would hold a long selection twice more (see PaneEdit).
  auto* pane = new PaneEdit(parent);
  pane->setObjectName(QString::fromLatin1(name));
  // Traces are laid out in columns; wrapping would break them (and cost
  // time on a long trace).
  pane->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane->setFont(InitialPaneFont());
  return pane;
}

}  // namespace

WorkbenchForm::WorkbenchForm(QWidget* parent)
    : QMainWindow(parent),
      area_(new QWidget(this)),
      text1_(MakePane(area_, "Text1")),
      text2_(MakePane(area_, "Text2")),
      progress_(new QProgressBar(area_)),
      status_(new QLabel(this)),
      exact_panel_(new QLabel(FromView(kExactPanelText), this)),
      stop_button_(new QPushButton(QStringLiteral("停止"), this)),
      stop_key_(new QShortcut(QKeySequence(Qt::Key_Escape), this)),
      digits_(kDefaultDigits),
      qt_dialogs_(this),
      qt_picker_(this),
      files_(*this) {
  setWindowTitle(kProgramTitle);
  const QString icon = FindProgramFile(QStringLiteral("icons/matcalc.png"));
  if (!icon.isEmpty()) setWindowIcon(QIcon(icon));
  setCentralWidget(area_);
  // What to type, until something is typed or opened.
  text1_->setPlaceholderText(FromView(kEditPanePlaceholder));
  area_->installEventFilter(this);
  text1_->installEventFilter(this);
  text2_->installEventFilter(this);

  splitter_ = new Splitter(
      area_, [this]() -> const Panes& { return panes_; },
      [this](int left) {
        panes_ = LayOutAt(left, ToTwips(area_->width()), panes_);
        ApplyPanes();
      });
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->hide();

  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  statusBar()->addWidget(status_, 1);
  exact_panel_->setObjectName(QStringLiteral("ExactPanel"));
  exact_panel_->hide();
  statusBar()->addPermanentWidget(exact_panel_);
  stop_button_->setObjectName(QStringLiteral("StopButton"));
  stop_button_->hide();
  statusBar()->addPermanentWidget(stop_button_);
  connect(stop_button_, &QPushButton::clicked, this, &WorkbenchForm::StopCommand);
  stop_key_->setEnabled(false);
  connect(stop_key_, &QShortcut::activated, this, &WorkbenchForm::StopCommand);
  progress_timer_.setInterval(kProgressIntervalMs);
  connect(&progress_timer_, &QTimer::timeout, this, &WorkbenchForm::ShowCommandProgress);
  connect(text1_, &QPlainTextEdit::textChanged, this,
          [this] { SetStatus(FromView(kStatusEditing)); });

  ActionHandlers on;
  on.file_new = [this] { files_.New(); };
  on.file_open = [this] { files_.Open(); };
  on.file_save = [this] { files_.Save(); };
  on.file_save_as = [this] { files_.SaveAs(); };
  on.exit = [this] { close(); };
  on.select_all = [this] { EditSelectAll(); };
  on.cut = [this] { EditCut(); };
  on.copy = [this] { EditCopy(); };
  on.paste = [this] { EditPaste(); };
  on.erase = [this] { EditDelete(); };
  on.font = [this] { ShowStyle(); };
  on.background = [this] { ShowBackcolor(); };
  on.defaults = [this] { ShowDefault(); };
  on.digits = [this] { ShowFormatDecimalDigits(); };
  on.exact_fractions = [this] {
    const QAction* item = action(QStringLiteral("ShowExactFractions"));
    ShowExactFractions(item != nullptr && item->isChecked());
  };
  on.solve_menu_opens = [this] { UpdateSolveMenu(); };
  on.run_command = [this](const Command& command) { RunMenuCommand(command); };
  on.help = [this] { ShowHelp(); };
  on.about = [this] { ShowAbout(); };
  on.open_example = [this](const Example& example) { files_.OpenExample(example); };
  toolbar_ = BuildMenusAndToolbar(*this, on);
  beyond_ = new BeyondTrace(*this, *text1_, *text2_);
  panes_.bar.left = kInitialSplitterTwips;
  resize(kInitialWidthPixels, kInitialHeightPixels);
}

WorkbenchForm::~WorkbenchForm() {
  // A command still running is stopped and waited for.
  delete run_;
  // The help window is a window of its own; it goes with the workbench.
  delete help_;
}

void WorkbenchForm::DispatchToolbarKey(const QString& key) {
  // Only the exact keys of the buttons do anything.
  if (QAction* button = ToolbarAction(*toolbar_, key)) button->trigger();
}

QAction* WorkbenchForm::action(const QString& name) const { return findChild<QAction*>(name); }

QMenu* WorkbenchForm::menu(const QString& name) const { return findChild<QMenu*>(name); }

QString WorkbenchForm::status_text() const { return status_->text(); }

void WorkbenchForm::SetStatus(const QString& text) { status_->setText(text); }

Dialogs& WorkbenchForm::dialogs() {
  return dialogs_override_ != nullptr ? *dialogs_override_ : qt_dialogs_;
}

FilePicker& WorkbenchForm::picker() {
  return picker_override_ != nullptr ? *picker_override_ : qt_picker_;
}

// ---- Edit commands: they act on the edit pane wherever the focus is. ----

void WorkbenchForm::EditSelectAll() {
  QTextCursor cursor = text1_->textCursor();
  cursor.select(QTextCursor::Document);
  text1_->setTextCursor(cursor);
}

void WorkbenchForm::EditCopy() { CopySelection(*text1_); }

bool WorkbenchForm::HoldsCopyOf(const QTextDocument* document, int start, int end) const {
  const ClipboardCopy& held = clipboard_copy_;
  return held.data != nullptr && QApplication::clipboard()->mimeData() == held.data &&
         (document == nullptr ||
          (held.document == document && held.start == start && held.end == end));
}

double WorkbenchForm::clipboard_bytes() const {
  return HoldsCopyOf(nullptr, 0, 0) ? clipboard_copy_.bytes : 0;
}

void WorkbenchForm::CopySelection(QPlainTextEdit& pane, bool now) {
  if (copy_ != nullptr) return;
  const QTextCursor selection = pane.textCursor();
  // Already there: a second copy of a long trace would only cost its size
  // again, with the first on the clipboard while it is built.
  if (selection.hasSelection() &&
      HoldsCopyOf(pane.document(), selection.selectionStart(), selection.selectionEnd())) {
    return;
  }
  auto* copy = new PaneCopy(pane, this);
  copy_ = copy;
  // A long copy replaces the window's earlier one, which goes first rather
  // than stand beside it while it is built.
  const auto forget_copy = [this] {
    QObject::disconnect(clipboard_copy_.changed);
    clipboard_copy_ = {};
  };
  if (copy->long_selection() && HoldsCopyOf(nullptr, 0, 0)) {
    QApplication::clipboard()->clear();
    forget_copy();
  }
  QPointer<QTextDocument> document = pane.document();
  const int start = selection.selectionStart();
  const int end = selection.selectionEnd();
  connect(
      copy, &PaneCopy::ended, this, [this, copy, document, start, end, forget_copy](bool copied) {
        // Nothing copied (nothing selected, or stopped): the clipboard holds
        // what it held.
        if (!copied || document == nullptr) return;
        forget_copy();
        clipboard_copy_ = {document, start, end, copy->data(),
                           static_cast<double>(copy->copied_bytes())};
        // Any change of the text makes the copy one of another text; it is
        // counted while the clipboard holds it all the same.
        clipboard_copy_.changed = connect(document, &QTextDocument::contentsChange, this, [this] {
          QObject::disconnect(clipboard_copy_.changed);
          clipboard_copy_.document = nullptr;
        });
      });
  // A long selection is copied between events as a busy state of its own
  // (the pane must not change under it); during a command, at once.
  const bool between_events = !now && copy->long_selection() && !busy();
  const QString status = status_->text();
  connect(copy, &PaneCopy::ended, this, [this, copy, between_events, status](bool) {
    copy->deleteLater();
    copy_ = nullptr;
    if (!between_events) return;
    SetProgress(0);
    HideProgress();
    EndBusy();
    SetStatus(status);
  });
  if (between_events) {
    BeginBusy([copy] { copy->Stop(); });
    SetStatus(QStringLiteral("正在复制……（按 Esc 停止）"));
    ShowProgress(kProgressSteps);
    connect(copy, &PaneCopy::progress, this, [this](qint64 done, qint64 total) {
      SetProgress(total > 0 ? done * kProgressSteps / total : 0);
    });
  }
  copy->Start(between_events);
}

void WorkbenchForm::EditCut() {
  CopySelection(*text1_, true);
  QTextCursor cursor = text1_->textCursor();
  if (!cursor.hasSelection()) return;
  cursor.removeSelectedText();
  text1_->setTextCursor(cursor);
}

void WorkbenchForm::EditPaste() {
  const QString text = QApplication::clipboard()->text();
  // An empty clipboard must not wipe out the selection.
  if (text.isEmpty()) return;
  QTextCursor cursor = text1_->textCursor();
  cursor.insertText(ToPaneLines(text));
  text1_->setTextCursor(cursor);
}

void WorkbenchForm::EditDelete() {
  QTextCursor cursor = text1_->textCursor();
  // The caret at the very end of the focused pane means there is nothing
  // after it to delete. Focus outside both panes gives no length to compare,
  // and the deletion goes ahead.
  const QWidget* focus = QApplication::focusWidget();
  const QPlainTextEdit* focused = nullptr;
  if (focus == text1_ || text1_->isAncestorOf(focus)) focused = text1_;
  if (focus == text2_ || text2_->isAncestorOf(focus)) focused = text2_;
  if (focused != nullptr && PaneLength(*focused) == cursor.selectionStart()) return;
  // A line break is one character in the pane, so widening to one character
  // before a break removes the whole break.
  if (!cursor.hasSelection())
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  text1_->setTextCursor(cursor);
}

// ---- Display settings ----

void WorkbenchForm::ShowStyle() {
  bool ok = false;
  const QFont chosen =
      QFontDialog::getFont(&ok, FontForDialog(text1_->font()), this, QStringLiteral("字体"));
  if (!ok) return;
  ApplyChosenFont(*text1_, chosen);
  ApplyChosenFont(*text2_, chosen);
}

void WorkbenchForm::ShowBackcolor() {
  const QColor colour =
      QColorDialog::getColor(text1_->palette().color(QPalette::Base), this, QStringLiteral("背景"));
  if (!colour.isValid()) return;
  ApplyBackground(*text1_, colour);
  ApplyBackground(*text2_, colour);
}

void WorkbenchForm::ShowDefault() {
  RestoreDefaultLook(*text1_);
  RestoreDefaultLook(*text2_);
  digits_ = kDefaultDigits;
  ShowExactFractions(false);
}

void WorkbenchForm::ShowExactFractions(bool on) {
  exact_ = on;
  if (QAction* item = action(QStringLiteral("ShowExactFractions")); item != nullptr) {
    item->setChecked(on);
  }
  exact_panel_->setVisible(on);
}

void WorkbenchForm::ShowFormatDecimalDigits() {
  const int current = digits_;
  digits_ =
      RunAnswering(dialogs(), [current](Boxes& boxes) { return AskDecimalDigits(boxes, current); });
}

// ---- Help and about ----

void WorkbenchForm::ShowHelp() {
  const QString index = FindProgramFile(QStringLiteral("Help/index.html"));
  if (index.isEmpty()) return;  // no manual beside the program: nothing to show
  if (help_ == nullptr) {
    help_ = new HelpWindow(index);
    CentreOnScreenOf(*help_, *this);
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void WorkbenchForm::ShowAbout() {
  if (about_ == nullptr) about_ = new AboutBox(this);
  about_->show();
  about_->raise();
  about_->activateWindow();
}

// ---- Commands ----

void WorkbenchForm::UpdateSolveMenu() {
  const bool blank = !SolveMenuEnabled(text1_->document()->toRawText().toStdString());
  const bool enabled = !busy() && !blank;
  // A blank edit pane is the one reason the user can act on: each greyed
  // item says it when pointed at, and the status line as the menu opens.
  const QString why = blank ? FromView(kSolveDisabledText) : QString();
  for (const Command& command : Commands()) {
    if (QAction* item = action(QString::fromUtf8(
            command.menu_item.data(), static_cast<qsizetype>(command.menu_item.size())))) {
      item->setEnabled(enabled);
      item->setToolTip(why);
    }
  }
  if (blank && !busy()) SetStatus(why);
}

// What the window keeps beside the frame's view of the text and the result
// pane while a command runs: the edit pane's document, which holds the text
// in UTF-16, twice its bytes of UTF-8 at most; and the result pane's
// document, which holds the trace in the same way. The result pane the frame
// counts hands its text over to the document every few megabytes, so with
// it one more copy covers the trace.
constexpr FrontEndCosts kWindowCosts{.text_copies = 2, .trace_copies = 1};

bool WorkbenchForm::busy() const { return run_ != nullptr || file_stop_ != nullptr; }

void WorkbenchForm::BeginBusy(std::function<void()> stop) {
  file_stop_ = std::move(stop);
  SetBusy(true);
}

void WorkbenchForm::EndBusy() {
  file_stop_ = nullptr;
  SetBusy(false);
  if (close_when_ended_) close();
}

void WorkbenchForm::SetBusy(bool busy) {
  for (const std::string_view name : BusyItems()) {
    if (QAction* item = action(FromView(name))) item->setEnabled(!busy);
  }
  text1_->setReadOnly(busy);
  text2_->setReadOnly(busy);
  stop_button_->setVisible(busy);
  stop_key_->setEnabled(busy);
}

void WorkbenchForm::RunMenuCommand(const Command& command) {
  if (command.run == nullptr || busy()) return;
  // The result pane's document stays aside until the command ends, beside
  // the trace being written.
  FrontEndCosts costs = kWindowCosts;
  costs.held_bytes = DocumentBytes(*text2_->document());
  costs.clipboard_bytes = clipboard_bytes();
  run_ = new CommandRun(command, PaneText(*text1_), digits_, costs, dialogs(), *text2_, this);
  run_->SetSeries(beyond_->series());
  run_->SetExact(exact_);
  connect(run_, &CommandRun::ended, this, [this, &command](Outcome outcome) {
    beyond_->CommandEnded(FromView(command.caption), outcome == Outcome::kRan);
    CommandEnded();
  });
  status_before_run_ = status_->text();
  SetStatus(FromView(kStatusComputing).arg(FromView(command.caption)));
  SetBusy(true);
  ShowProgress(kProgressSteps);
  progress_timer_.start();
  beyond_->CommandStarts();
  run_->Start();
}

void WorkbenchForm::StopCommand() {
  if (run_ != nullptr) {
    run_->Stop();
  } else if (file_stop_ != nullptr) {
    file_stop_();
  } else {
    return;
  }
  SetStatus(FromView(kStatusStopping));
}

void WorkbenchForm::ShowCommandProgress() {
  if (run_ != nullptr) SetProgress(run_->done_per_10000());
}

void WorkbenchForm::CommandEnded() {
  progress_timer_.stop();
  SetProgress(0);
  HideProgress();
  run_->deleteLater();
  run_ = nullptr;
  SetBusy(false);
  SetStatus(status_before_run_);
  emit commandEnded();
  if (close_when_ended_) close();
}

// ---- Layout ----

int WorkbenchForm::ToPixels(int twips) const { return TwipsToPixels(twips, logicalDpiX()); }

int WorkbenchForm::ToTwips(int pixels) const { return PixelsToTwips(pixels, logicalDpiX()); }

void WorkbenchForm::ApplyPanes() {
  auto place = [this](QWidget* widget, const Rect& rect) {
    widget->setGeometry(ToPixels(rect.left), ToPixels(rect.top), ToPixels(rect.width),
                        ToPixels(rect.height));
  };
  place(text1_, panes_.text1);
  place(splitter_->bar(), panes_.bar);
  place(text2_, panes_.text2);
}

void WorkbenchForm::LayOutArea() {
  // The central area already lies between toolbar and status bar.
  panes_ = ResizePanes(ToTwips(area_->width()), ToTwips(area_->height()), 0, 0, 0, panes_);
  ApplyPanes();
  if (progress_->isVisible()) ShowProgress(-1);
}

void WorkbenchForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  const WindowSize now{ToTwips(width()), ToTwips(height())};
  const WindowSize allowed = ClampWindow(now);
  if (!(allowed == now)) resize(ToPixels(allowed.width), ToPixels(allowed.height));
}

void WorkbenchForm::ShowProgress(qint64 maximum) {
  if (maximum >= 0) {
    // A file beyond the bar's int range moves it in larger units.
    progress_divisor_ = maximum / INT_MAX + 1;
    progress_->setRange(0, static_cast<int>(maximum / progress_divisor_));
    progress_->setValue(0);
  }
  const int bar_height = ToPixels(kProgressBarTwips);
  const QRect edit = text1_->geometry();
  const int top = area_->height() - bar_height;
  progress_->setGeometry(edit.left(), top, edit.width(), bar_height);
  text1_->setGeometry(edit.left(), edit.top(), edit.width(), std::max(0, top - edit.top()));
  progress_->show();
  progress_->raise();
}

void WorkbenchForm::SetProgress(qint64 value) {
  progress_->setValue(
      static_cast<int>(std::min<qint64>(value / progress_divisor_, progress_->maximum())));
}

void WorkbenchForm::HideProgress() {
  progress_->hide();
  ApplyPanes();
}

// ---- Events ----

bool WorkbenchForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == area_ && event->type() == QEvent::Resize) {
    LayOutArea();
  } else if (event->type() == QEvent::KeyPress && (watched == text1_ || watched == text2_) &&
             static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    // The panes' own copy would hold a long selection two more times.
    CopySelection(*static_cast<QPlainTextEdit*>(watched));
    return true;
  } else if (event->type() == QEvent::FocusIn && (watched == text1_ || watched == text2_)) {
    // The window coming back to the front, or a menu or box closing, hands
    // the focus back to the pane that had it. That is no move of the user's
    // and must not overwrite the status, say the name of the file just saved.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool handed_back =
        (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) &&
        watched == focused_pane_;
    focused_pane_ = watched;
    if (!handed_back) {
      SetStatus(FromView(watched == text1_ ? kStatusEditArea : kStatusResultArea));
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void WorkbenchForm::closeEvent(QCloseEvent* event) {
  if (busy()) {
    // The command is stopped first; the window closes once it has ended.
    close_when_ended_ = true;
    StopCommand();
    event->ignore();
    return;
  }
  if (about_ != nullptr) about_->close();
  if (help_ != nullptr) help_->close();
  emit closed();
  event->accept();
}

}  // namespace matcalc::workbench
