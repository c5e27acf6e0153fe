// The window's side of the command dialogs: real Qt input and message boxes,
// and the file dialogs of the document commands.
#pragma once

#include <QString>
#include <optional>

#include "desk/workbench_texts.h"
#include "frame/dialogs.h"

class QWidget;

namespace matcalc::workbench {

inline const QString kProgramTitle = QString::fromUtf8(
    matcalc::kProgramTitle.data(), static_cast<qsizetype>(matcalc::kProgramTitle.size()));

// Input and message boxes, modal over `parent`. A box without a title of its
// own shows the program's title.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> Input(const InputRequest& request) override;
  Reply Message(const MessageRequest& request) override;

 private:
  QWidget* parent_;
};

// Asks for a file name to open or to save to; nothing when cancelled.
class FilePicker {
 public:
  virtual ~FilePicker() = default;
  virtual std::optional<QString> OpenFileName(const QString& remembered) = 0;
  virtual std::optional<QString> SaveFileName(const QString& remembered) = 0;
};

// Text files first, then all files.
inline const QString kFileFilter = QStringLiteral("文本文件(*.txt);;所有文件(*.*)");

// A file's size as the file dialogs show it: bytes below a kilobyte, then
// KB, MB, GB with two decimals ("500 字节", "4.77 MB").
QString FileSizeText(qint64 bytes);

// Qt's own file dialogs (or the platform's, where a platform theme offers
// them). Qt's Chinese catalogue leaves the file type "Folder" and the size
// units untranslated, and sizes follow the system's locale; the dialogs show
// both in Chinese.
class QtFilePicker : public FilePicker {
 public:
  explicit QtFilePicker(QWidget* parent) : parent_(parent) {}
  std::optional<QString> OpenFileName(const QString& remembered) override;
  std::optional<QString> SaveFileName(const QString& remembered) override;

 private:
  QWidget* parent_;
};

}  // namespace matcalc::workbench
