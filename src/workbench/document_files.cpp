#include "workbench/document_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <string>

#include "text/encoding.h"
#include "workbench/pane_text.h"

namespace matcalc::workbench {
namespace {

constexpr qint64 kReadChunkBytes = 256 * 1024;

QString ShownPath(const QString& path) {
  return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

}  // namespace

void DocumentFiles::Inform(const char* text) {
  MessageRequest request;
  request.text = text;
  host_.dialogs().Message(request);
}

void DocumentFiles::New() {
  host_.EditPane().clear();
  host_.ResultPaneWidget().clear();
  host_.SetStatus(QStringLiteral("状态"));
}

void DocumentFiles::Open() {
  const std::optional<QString> name = host_.picker().OpenFileName(open_dialog_name_);
  if (!name) {
    Inform("没有打开任何文件。");
    open_dialog_name_.clear();
    return;
  }
  open_dialog_name_ = *name;
  QFile file(*name);
  // Only a regular file has a length to ask about and an end to read to;
  // opening a pipe would wait for a writer that may never come.
  if (!QFileInfo(*name).isFile() || !file.open(QIODevice::ReadOnly)) {
    Inform("操作有误#");
    open_dialog_name_.clear();
    return;
  }
  const qint64 size = file.size();
  if (size > kLargeFileBytes) {
    MessageRequest question;
    question.text = "文件太大，如果打开可能要等一段时间，是否仍要继续？";
    question.title = "温馨提示";
    question.buttons = Buttons::kYesNo;
    question.icon = Icon::kQuestion;
    question.default_button = Reply::kNo;
    // No leaves both panes as they were: nothing of the user's is lost.
    if (host_.dialogs().Message(question) != Reply::kYes) return;
  }
  host_.EditPane().clear();
  host_.ResultPaneWidget().clear();
  if (size == 0) {
    Inform("文件为空，请重新选择文件#");
    return;
  }

  // Read in chunks so the bar can move; the text is decoded and shown once
  // at the end, since a chunk may end inside a character.
  host_.ShowProgress(size);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(size));
  bool failed = false;
  while (!file.atEnd()) {
    const QByteArray chunk = file.read(kReadChunkBytes);
    if (chunk.isEmpty()) {
      failed = file.error() != QFileDevice::NoError;
      break;
    }
    bytes.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
    host_.SetProgress(static_cast<qint64>(bytes.size()));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  file.close();
  SetPaneText(host_.EditPane(), DecodeText(bytes));
  host_.SetProgress(0);
  host_.HideProgress();
  if (failed) {
    // What was read stays in the edit pane.
    Inform("操作有误#");
    open_dialog_name_.clear();
    return;
  }
  save_path_.clear();
  host_.SetStatus(ShownPath(*name));
}

bool DocumentFiles::WriteResult(const QString& path) {
  const std::string text = PaneText(host_.ResultPaneWidget());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(text.data(), static_cast<qint64>(text.size())) !=
      static_cast<qint64>(text.size())) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

void DocumentFiles::Save() {
  if (host_.ResultPaneWidget().document()->isEmpty()) {
    Inform("结果为空，不能保存#");
    return;
  }
  if (save_dialog_name_.isEmpty() || save_path_.isEmpty()) {
    const std::optional<QString> name = host_.picker().SaveFileName(save_dialog_name_);
    if (!name) {
      Inform("你没有存盘,数据没有被保存下来！");
      save_dialog_name_.clear();
      return;
    }
    save_dialog_name_ = *name;
  }
  save_path_ = save_dialog_name_;
  if (save_path_.isEmpty()) {
    Inform("你没有存盘,数据没有被保存下来#");
    return;
  }
  if (!WriteResult(save_path_)) {
    Inform("操作有误！");
    save_dialog_name_.clear();
    return;
  }
  host_.SetStatus(ShownPath(save_path_));
}

void DocumentFiles::SaveAs() {
  open_dialog_name_.clear();
  const std::optional<QString> name = host_.picker().SaveFileName(open_dialog_name_);
  if (!name) {
    Inform("没有保存文件。");
    return;
  }
  open_dialog_name_ = *name;
  if (!WriteResult(*name)) {
    Inform("操作有误！");
    open_dialog_name_.clear();
    return;
  }
  host_.SetStatus(ShownPath(*name));
}

}  // namespace matcalc::workbench
