#include "workbench/qt_dialogs.h"

#include <QFileDialog>
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

}  // namespace

std::optional<std::string> QtDialogs::Input(const InputRequest& request) {
  QInputDialog box(parent_);
  box.setWindowTitle(TitleOrProgram(request.title));
  box.setLabelText(ToPaneLines(QString::fromStdString(request.prompt)));
  box.setTextValue(QString::fromStdString(request.default_text));
  box.setInputMode(QInputDialog::TextInput);
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
    box.setDefaultButton(request.default_button == Reply::kNo ? QMessageBox::No
                                                               : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
  }
  const int pressed = box.exec();
  if (request.buttons == Buttons::kOk) return Reply::kOk;
  return pressed == QMessageBox::Yes ? Reply::kYes : Reply::kNo;
}

std::optional<QString> QtFilePicker::OpenFileName(const QString& remembered) {
  const QString name =
      QFileDialog::getOpenFileName(parent_, QStringLiteral("打开"), remembered, kFileFilter);
  if (name.isEmpty()) return std::nullopt;
  return name;
}

std::optional<QString> QtFilePicker::SaveFileName(const QString& remembered) {
  const QString name =
      QFileDialog::getSaveFileName(parent_, QStringLiteral("另存为"), remembered, kFileFilter);
  if (name.isEmpty()) return std::nullopt;
  return name;
}

}  // namespace matcalc::workbench
