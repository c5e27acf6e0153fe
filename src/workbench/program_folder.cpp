#include "workbench/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace matcalc::workbench {

QString FindProgramFile(const QString& relative) {
  const QString program = QCoreApplication::applicationDirPath();
  QStringList roots = {program, program + QStringLiteral("/../share/matcalc")};
#ifdef MATCALC_SOURCE_RESOURCES
  roots << QStringLiteral(MATCALC_SOURCE_RESOURCES);
#endif
  for (const QString& root : roots) {
    const QFileInfo file(QDir(root).filePath(relative));
    if (file.exists()) return QDir::cleanPath(file.absoluteFilePath());
  }
  return {};
}

}  // namespace matcalc::workbench
