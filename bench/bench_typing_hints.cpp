// What the hints while typing cost the window's thread on a 100 KB edit pane:
// a keystroke (the pane's own work plus the restarted pause), the copy of
// the text handed to the reading, and showing the marks; beside them the
// reading itself, which runs off the window's thread. Run offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <random>
#include <string>
#include <vector>

#include "workbench/pane_text.h"
#include "workbench/typing_hints.h"

namespace {

// 100 KB of rows of 40 entries, one in six a mistake.
QString Text() {
  const std::vector<std::string> pieces = {"1.25", "-3", "12abc", "sqr(2)/2", "2*(3", "7e3"};
  std::mt19937 random(2026);
  std::string text;
  while (text.size() < 100 * 1024) {
    for (int j = 0; j < 40; ++j) {
      if (j > 0) text += ' ';
      text += pieces[random() % pieces.size()];
    }
    text += "\n";
  }
  return QString::fromStdString(text);
}

void BM_KeystrokeWithHints(benchmark::State& state) {
  QPlainTextEdit pane;
  QLabel label;
  pane.setPlainText(Text());
  matcalc::workbench::TypingHints hints(&pane, &label);
  QTextCursor cursor(pane.document());
  cursor.movePosition(QTextCursor::End);
  for (auto _ : state) {
    cursor.insertText(QStringLiteral("1"));
    QCoreApplication::processEvents();
  }
}

void BM_CopyForTheReading(benchmark::State& state) {
  QPlainTextEdit pane;
  pane.setPlainText(Text());
  for (auto _ : state) benchmark::DoNotOptimize(matcalc::workbench::PaneText(pane));
}

void BM_ReadingOffThread(benchmark::State& state) {
  QPlainTextEdit pane;
  pane.setPlainText(Text());
  const std::string text = matcalc::workbench::PaneText(pane);
  for (auto _ : state) benchmark::DoNotOptimize(matcalc::workbench::ReadHints(text));
}

void BM_ShowMarks(benchmark::State& state) {
  QPlainTextEdit pane;
  QLabel label;
  pane.setPlainText(Text());
  matcalc::workbench::TypingHints hints(&pane, &label);
  QSignalSpy updated(&hints, &matcalc::workbench::TypingHints::updated);
  updated.wait(10000);
  state.counters["marks"] = static_cast<double>(pane.extraSelections().size());
  const QList<QTextEdit::ExtraSelection> marks = pane.extraSelections();
  for (auto _ : state) {
    pane.setExtraSelections({});
    pane.setExtraSelections(marks);
    QCoreApplication::processEvents();
  }
}

BENCHMARK(BM_KeystrokeWithHints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyForTheReading)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadingOffThread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowMarks)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
