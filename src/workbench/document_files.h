// New, open, save and save as: moving text between the panes and files.
// What is opened is matrix text for the edit pane; what is saved is the
// trace in the result pane.
#pragma once

#include <QString>
#include <QtGlobal>
#include <string>
#include <string_view>

#include "desk/examples.h"
#include "frame/dialogs.h"
#include "workbench/qt_dialogs.h"

class QPlainTextEdit;

namespace matcalc::workbench {

// What the document commands need from the window.
class DocumentHost {
 public:
  virtual ~DocumentHost() = default;
  virtual QPlainTextEdit& EditPane() = 0;
  virtual QPlainTextEdit& ResultPaneWidget() = 0;
  virtual Dialogs& dialogs() = 0;
  virtual FilePicker& picker() = 0;
  virtual void SetStatus(const QString& text) = 0;
  // The progress bar over the edit pane while a file is read.
  virtual void ShowProgress(qint64 maximum) = 0;
  virtual void SetProgress(qint64 value) = 0;
  virtual void HideProgress() = 0;
};

class DocumentFiles {
 public:
  explicit DocumentFiles(DocumentHost& host) : host_(host) {}

  void New();
  void Open();
  void Save();
  void SaveAs();
  // Puts a bundled example into the edit pane as Open puts a file there,
  // asking first when the edit pane holds a text of the user's.
  void OpenExample(const Example& example);

  // The file that save writes to without asking again.
  const QString& save_path() const { return save_path_; }

 private:
  void Inform(std::string_view text);
  // Writes the result pane to `path` through a temporary file beside it, so
  // a failed save leaves an existing file as it was. A null string when it
  // was written, else the system's reason.
  QString WriteResult(const QString& path);
  // "操作有误！" with the reason on a second line.
  void InformSaveFailed(const QString& reason);

  DocumentHost& host_;
  QString open_dialog_name_;  // the open / save-as dialog's remembered name
  QString save_dialog_name_;  // the save dialog's remembered name
  QString save_path_;
  std::string example_text_;  // the text the last example put into the edit pane
};

}  // namespace matcalc::workbench
