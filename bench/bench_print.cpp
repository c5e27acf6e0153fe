// Printing a long trace: how long the window takes to set a trace of some
// hundreds of pages into a PDF (the same painting as printing), without and
// with the progress box that keeps the window repainting. The trace is the
// runner's power method on a matrix of the order given (the iterates print
// one component a line).
//   bench_print [ORDER]   (offscreen platform)
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "symmetric_text.h"
#include "workbench/trace_printer.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int n = argc > 1 ? std::atoi(argv[1]) : 60;
  matcalc::ScriptedDialogs dialogs({std::to_string(n), "0"}, {matcalc::Reply::kYes});
  const matcalc::ResultPane pane =
      matcalc::RunCommand(*matcalc::FindCommand("power"), dialogs,
                          matcalc::bench::SymmetricMatrixText(n), std::string(), 6, {});
  const QString trace = QString::fromStdString(pane.text());

  std::printf("power, order %d: %lld lines, %.1f MB of trace\n", n,
              static_cast<long long>(trace.count(QLatin1Char('\n'))), pane.text().size() / 1e6);
  QWidget window;
  window.show();
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("trace.pdf"));
  bool written = true;
  for (const bool box : {false, true}) {
    QElapsedTimer clock;
    clock.start();
    const matcalc::workbench::TracePrinter printer(trace, QStringLiteral("幂法"),
                                                   QDateTime::currentDateTime());
    written = written && matcalc::workbench::WriteTracePdf(
                             path, printer, nullptr,
                             box ? matcalc::workbench::PaintingProgressBox(&window)
                                 : matcalc::workbench::PageProgress());
    std::printf("PDF %-21s %6lld ms, %lld KB\n",
                box ? "with the progress box:" : "without a box:", clock.elapsed(),
                static_cast<long long>(QFileInfo(path).size() / 1024));
  }
  return written ? 0 : 1;
}
