#include "workbench/export_picker.h"

#include <QFileDialog>
#include <QFileInfo>

namespace matcalc::workbench {

std::optional<QString> QtExportPicker::SaveName(const QString& title, const QString& suggested,
                                                const QString& filter) {
  const QString name = QFileDialog::getSaveFileName(parent_, title, suggested, filter);
  if (name.isEmpty()) return std::nullopt;
  return name;
}

QString WithSuffix(const QString& name, const QString& suffix) {
  return QFileInfo(name).suffix().isEmpty() ? name + QLatin1Char('.') + suffix : name;
}

}  // namespace matcalc::workbench
