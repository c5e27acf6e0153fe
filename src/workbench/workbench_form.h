// The main window: the edit pane Text1, the result pane Text2, menus,
// toolbar, status line and progress bar. It only shows things and runs the
// commands of the registry; every computation lives in the core.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "commands/registry.h"
#include "workbench/document_files.h"
#include "workbench/layout.h"
#include "workbench/qt_dialogs.h"

class QLabel;
class QMenu;
class QMimeData;
class QTextDocument;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QShortcut;
class QToolBar;

namespace matcalc::workbench {

class AboutBox;
class BeyondTrace;
class CommandRun;
class Splitter;
class HelpWindow;
class PaneCopy;

class WorkbenchForm : public QMainWindow, private DocumentHost {
  Q_OBJECT
 public:
  explicit WorkbenchForm(QWidget* parent = nullptr);
  ~WorkbenchForm() override;

  // The tests answer the dialogs themselves; null restores the real ones.
  void SetDialogs(Dialogs* dialogs) { dialogs_override_ = dialogs; }
  void SetFilePicker(FilePicker* picker) { picker_override_ = picker; }

  QPlainTextEdit* text1() const { return text1_; }
  QPlainTextEdit* text2() const { return text2_; }
  QToolBar* toolbar() const { return toolbar_; }
  QProgressBar* progress_bar() const { return progress_; }
  QString status_text() const;
  int digits() const { return digits_; }
  DocumentFiles& files() { return files_; }
  // Printing, the convergence chart and the hints while typing.
  BeyondTrace* beyond() const { return beyond_; }
  // A menu or menu item by its name (mnuFile, FileOpen, Gauss__ ...).
  QAction* action(const QString& name) const;
  QMenu* menu(const QString& name) const;
  const Panes& panes() const { return panes_; }

  // The commands behind the menus.
  void EditSelectAll();
  void EditCut();
  void EditCopy();
  // Copies `pane`'s selection (Ctrl+C in either pane, 复制 for the edit
  // pane); a long one between events unless `now`. The same selection of
  // the same text, still on the clipboard, is not built again; a long one
  // never stands beside the window's earlier copy.
  void CopySelection(QPlainTextEdit& pane, bool now = false);
  // The bytes of the copy this window put on the clipboard, while the
  // clipboard holds it; the budgets count them.
  double clipboard_bytes() const;
  void EditPaste();
  void EditDelete();
  void ShowStyle();
  void ShowBackcolor();
  void ShowDefault();
  void ShowFormatDecimalDigits();
  // 精确分数: the exact-fractions setting, shown by its checked item and the
  // status line's "分数" panel.
  void ShowExactFractions(bool on);
  bool exact() const { return exact_; }
  void ShowHelp();
  void ShowAbout();
  void UpdateSolveMenu();
  // Starts `command` off the window's thread; the window stays responsive,
  // and busy() until commandEnded.
  void RunMenuCommand(const Command& command);
  bool busy() const;
  // Asks the running command, or the file being read or written, to stop
  // (Esc, the 停止 button, closing).
  void StopCommand();
  void DispatchToolbarKey(const QString& key);

  // Twips to pixels and back with the window's logical resolution.
  int ToPixels(int twips) const;
  int ToTwips(int pixels) const;

 signals:
  // The window has closed: the exit screen takes over.
  void closed();
  // A command has ended and the panes show its outcome.
  void commandEnded();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // DocumentHost
  QPlainTextEdit& EditPane() override { return *text1_; }
  QPlainTextEdit& ResultPaneWidget() override { return *text2_; }
  Dialogs& dialogs() override;
  FilePicker& picker() override;
  void SetStatus(const QString& text) override;
  void ShowProgress(qint64 maximum) override;
  void SetProgress(qint64 value) override;
  void HideProgress() override;
  void BeginBusy(std::function<void()> stop) override;
  void EndBusy() override;

  void ApplyPanes();
  void SetBusy(bool busy);
  void ShowCommandProgress();
  void CommandEnded();
  void LayOutArea();

  QWidget* area_;
  QPlainTextEdit* text1_;
  QPlainTextEdit* text2_;
  Splitter* splitter_ = nullptr;
  QProgressBar* progress_;
  QLabel* status_;
  QLabel* exact_panel_;
  QPushButton* stop_button_;
  QShortcut* stop_key_;
  QToolBar* toolbar_ = nullptr;
  Panes panes_;
  // The pane that last received the focus.
  QObject* focused_pane_ = nullptr;
  qint64 progress_divisor_ = 1;
  int digits_;
  bool exact_ = false;

  QtDialogs qt_dialogs_;
  QtFilePicker qt_picker_;
  Dialogs* dialogs_override_ = nullptr;
  FilePicker* picker_override_ = nullptr;
  DocumentFiles files_;
  BeyondTrace* beyond_ = nullptr;
  QPointer<AboutBox> about_;
  QPointer<HelpWindow> help_;

  // The command running, if any.
  CommandRun* run_ = nullptr;
  // What stops the file being read or written, if any.
  std::function<void()> file_stop_;
  PaneCopy* copy_ = nullptr;
  // What the window last put on the clipboard, until its text changes.
  struct ClipboardCopy {
    QPointer<QTextDocument> document;
    int start = 0;
    int end = 0;
    QPointer<QMimeData> data;
    double bytes = 0;
    QMetaObject::Connection changed;
  };
  ClipboardCopy clipboard_copy_;
  // Whether the clipboard still holds that copy, of that text.
  bool HoldsCopyOf(const QTextDocument* document, int start, int end) const;
  QString status_before_run_;
  bool close_when_ended_ = false;
  QTimer progress_timer_;
  static constexpr int kProgressSteps = 10000;
  static constexpr int kProgressIntervalMs = 40;
};

}  // namespace matcalc::workbench
