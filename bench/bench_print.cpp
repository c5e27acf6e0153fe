// Printing a long trace: how long the window takes to set a trace of some
// hundreds of pages into a PDF (the same painting as printing), without and
// with the progress box that keeps the window repainting, and as 导出 PDF...
// does it: the lines read from the result pane's document, measured, and
// painted on a thread of its own. The trace is the
// runner's power method on a matrix of the order given (the iterates print
// one component a line).
//   bench_print [ORDER]   (offscreen platform)
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
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
  const matcalc::TraceBuffer pane =
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
    int pages = 0;
    const matcalc::workbench::PageProgress shown =
        box ? matcalc::workbench::PaintingProgressBox(&window) : matcalc::workbench::PageProgress();
    written = written &&
              matcalc::workbench::WriteTracePdf(path, printer, nullptr, [&](int page, int total) {
                pages = total;
                return !shown || shown(page, total);
              });
    const qint64 ms = clock.elapsed();
    std::printf("PDF %-21s %6lld ms, %d pages (%.0f a second), %lld KB\n",
                box ? "with the progress box:" : "without a box:", ms, pages,
                pages * 1000.0 / std::max<qint64>(ms, 1),
                static_cast<long long>(QFileInfo(path).size() / 1024));
  }
  {
    QTextDocument document;
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
    QString lines = trace;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    document.setPlainText(lines);
    QElapsedTimer clock;
    clock.start();
    matcalc::workbench::PrintProgress progress(&window);
    const matcalc::workbench::TracePrinter printer(
        document, QStringLiteral("幂法"), QDateTime::currentDateTime(), progress.measuring());
    const qint64 measured = clock.elapsed();
    written = written && matcalc::workbench::ExportTracePdf(path, printer, document, nullptr,
                                                            progress.painting());
    std::printf("PDF as 导出 PDF... does: %6lld ms (%lld measuring), %lld KB\n", clock.elapsed(),
                measured, static_cast<long long>(QFileInfo(path).size() / 1024));
  }
  return written ? 0 : 1;
}
