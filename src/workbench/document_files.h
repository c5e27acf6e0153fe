// New, open, save and save as: moving text between the panes and files.
// What is opened is matrix text for the edit pane; what is saved is the
// trace in the result pane.
#pragma once

#include <QPointer>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <string>
#include <string_view>

#include "desk/examples.h"
#include "frame/dialogs.h"
#include "workbench/document_writer.h"
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
  // A file is read or written: the items that would change the panes are
  // disabled and 停止 (or Esc) calls `stop`, until EndBusy.
  virtual void BeginBusy(std::function<void()> stop) = 0;
  virtual void EndBusy() = 0;
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
  // A save under way (a long trace is written between the window's events).
  bool saving() const { return writer_ != nullptr; }
  // The tests stand in for a disk that fills up.
  void SetChunkWrite(ChunkWrite write) { chunk_write_ = std::move(write); }

  // A text of more characters than this is written between events.
  static constexpr qint64 kWriteNowCharacters = 2'000'000;

 private:
  void Inform(std::string_view text);
  // Writes the result pane to `path` through a temporary file beside it, so
  // a failed or stopped save leaves an existing file as it was; then
  // `written` (the status shows the file) or `failed` (after the message).
  void WriteResult(const QString& path, std::function<void()> failed);
  // "操作有误！" with the reason on a second line.
  void InformSaveFailed(const QString& reason);

  DocumentHost& host_;
  QString open_dialog_name_;  // the open / save-as dialog's remembered name
  QString save_dialog_name_;  // the save dialog's remembered name
  QString save_path_;
  QPointer<DocumentWriter> writer_;
  ChunkWrite chunk_write_;
  std::string example_text_;  // the text the last example put into the edit pane
};

}  // namespace matcalc::workbench
