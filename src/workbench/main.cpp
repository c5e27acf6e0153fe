// matcalc: the desktop workbench.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include "workbench/exit_screen.h"
#include "workbench/media.h"
#include "workbench/placement.h"
#include "workbench/program_folder.h"
#include "workbench/workbench_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // No display name: the window system would append it to every box's
  // title, and a box titled 温馨提示 or 警告 must read just that.
  QApplication::setApplicationName(QStringLiteral("matcalc"));

  // Every text of the program is Chinese; the standard buttons should read
  // 确定, 取消, 是, 否 as well, whatever the user's locale.
  QTranslator qt_chinese;
  if (qt_chinese.load(QStringLiteral("qtbase_zh_CN"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_chinese);
  }
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));

  matcalc::workbench::Media media;
  QPointer<matcalc::workbench::ExitScreen> exit_screen;
  matcalc::workbench::WorkbenchForm form;
  QObject::connect(&form, &matcalc::workbench::WorkbenchForm::closed, [&] {
    if (exit_screen != nullptr) return;
    exit_screen = new matcalc::workbench::ExitScreen(
        &media, matcalc::workbench::FindProgramFile(QStringLiteral("music/END.MID")));
    exit_screen->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(exit_screen, &matcalc::workbench::ExitScreen::finished, &app,
                     &QApplication::quit);
    matcalc::workbench::CentreOnScreenOf(*exit_screen, form);
    exit_screen->show();
  });
  form.show();
  const int status = QApplication::exec();
  // Stops the music before the media layer goes.
  delete exit_screen;
  return status;
}
