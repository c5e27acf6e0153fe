// matcalc: the desktop workbench.
#include <QApplication>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <cstdio>
#include <cstring>

#include "workbench/exit_screen.h"
#include "workbench/media.h"
#include "workbench/placement.h"
#include "workbench/program_folder.h"
#include "workbench/workbench_form.h"

namespace {

constexpr const char* kUsage =
    "usage: matcalc [Qt options]\n"
    "       matcalc --resources\n"
    "       matcalc --help\n"
    "       matcalc --version\n"
    "\n"
    "Opens the MatCalc window. --resources prints where the window finds its\n"
    "manual, its music and its icon (one a line, the file's path after a tab;\n"
    "nothing after the tab when it is missing), --version prints the version.\n";

// The options that answer on standard output and end, without a display.
int AnswerWithoutWindow(int argc, char** argv, const char* option) {
  if (std::strcmp(option, "--version") == 0) {
    std::fputs("matcalc " MATCALC_VERSION_TEXT "\n", stdout);
  } else if (std::strcmp(option, "--help") == 0) {
    std::fputs(kUsage, stdout);
  } else {
    // Where the window looks, so an installation can be checked.
    const QCoreApplication app(argc, argv);
    for (const char* file :
         {"Help/index.html", "Help/notices.html", "music/END.MID", "icons/matcalc.png"}) {
      const QString found = matcalc::workbench::FindProgramFile(QString::fromUtf8(file));
      std::printf("%s\t%s\n", file, found.toUtf8().constData());
    }
  }
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"--version", "--help", "--resources"}) {
      if (std::strcmp(argv[i], option) == 0) return AnswerWithoutWindow(argc, argv, option);
    }
  }
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
