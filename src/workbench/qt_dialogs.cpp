#include "workbench/qt_dialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QMessageBox>

#include "workbench/pane_text.h"

namespace matcalc::workbench {
namespace {

QString TitleOrProgram(const std::string& title) {
  return title.empty() ? kProgramTitle : QString::fromStdString(title);
}

QMessageBox::Icon ToQtIcon(Icon icon) {
  switch (icon) {
    case Icon::kExclamation:
      return QMessageBox::Warning;
    case Icon::kInformation:
      return QMessageBox::Information;
    case Icon::kCritical:
      return QMessageBox::Critical;
    case Icon::kQuestion:
      return QMessageBox::Question;
    case Icon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

// Room the title bar takes beside the title: the window's icon and buttons,
// with margins.
constexpr int kTitleBarExtraPixels = 160;

// The width a box needs for the window system to show its title whole.
int WidthForTitle(const QWidget& box, const QString& title) {
  return QFontMetrics(box.font()).horizontalAdvance(title) * 5 / 4 + kTitleBarExtraPixels;
}

// The file dialog's view of the files with the type of a folder and the
// sizes in Chinese.
class ChineseFileModel : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::DisplayRole) {
      const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
      const QModelIndex source = mapToSource(index);
      if (files != nullptr && index.column() == 1 && !files->isDir(source)) {
        return FileSizeText(files->size(source));
      }
      if (files != nullptr && index.column() == 2 && files->isDir(source)) {
        return QStringLiteral("文件夹");
      }
    }
    return QIdentityProxyModel::data(index, role);
  }
};

std::optional<QString> AskFileName(QWidget* parent, const QString& title, const QString& remembered,
                                   QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, title, remembered, kFileFilter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setProxyModel(new ChineseFileModel(&dialog));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString name = dialog.selectedFiles().value(0);
  if (name.isEmpty()) return std::nullopt;
  return name;
}

}  // namespace

QString FileSizeText(qint64 bytes) {
  if (bytes < 1024) return QStringLiteral("%1 字节").arg(bytes);
  const char* const units[] = {"KB", "MB", "GB", "TB"};
  double size = static_cast<double>(bytes) / 1024;
  int unit = 0;
  while (size >= 1024 && unit < 3) {
    size /= 1024;
    ++unit;
  }
  return QStringLiteral("%1 %2").arg(size, 0, 'f', 2).arg(QLatin1String(units[unit]));
}

std::optional<std::string> QtDialogs::Input(const InputRequest& request) {
  QInputDialog box(parent_);
  box.setWindowTitle(TitleOrProgram(request.title));
  box.setLabelText(ToPaneLines(QString::fromStdString(request.prompt)));
  box.setTextValue(QString::fromStdString(request.default_text));
  box.setInputMode(QInputDialog::TextInput);
  box.setMinimumWidth(WidthForTitle(box, box.windowTitle()));
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue().toStdString();
}

Reply QtDialogs::Message(const MessageRequest& request) {
  QMessageBox box(parent_);
  box.setWindowTitle(TitleOrProgram(request.title));
  box.setText(ToPaneLines(QString::fromStdString(request.text)));
  box.setTextFormat(Qt::PlainText);
  box.setIcon(ToQtIcon(request.icon));
  if (request.buttons == Buttons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    // Like the runner: a question without a default of its own defaults to Yes.
    box.setDefaultButton(request.default_button == Reply::kNo ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
  }
  // A message box sizes itself to its text; a spacer across its grid keeps
  // it wide enough for its title.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(WidthForTitle(box, box.windowTitle()), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  const int pressed = box.exec();
  if (request.buttons == Buttons::kOk) return Reply::kOk;
  return pressed == QMessageBox::Yes ? Reply::kYes : Reply::kNo;
}

std::optional<QString> QtFilePicker::OpenFileName(const QString& remembered) {
  return AskFileName(parent_, QStringLiteral("打开"), remembered, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFilePicker::SaveFileName(const QString& remembered) {
  return AskFileName(parent_, QStringLiteral("另存为"), remembered, QFileDialog::AcceptSave);
}

}  // namespace matcalc::workbench
