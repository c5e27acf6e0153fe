// Shows the window in the middle of the Jacobi method of order 300 (eps 0),
// the trace of a small run still in the result pane, for the README's picture:
//   xvfb-run -a -s "-screen 0 1000x660x24" sh -c 'build/bench/window_screenshot &
//     sleep 5; import -window root docs/window-progress.png; wait'
// The command is stopped and the program ends after 20 seconds.
#include <QApplication>
#include <QTimer>
#include <random>
#include <string>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "workbench/pane_text.h"
#include "workbench/workbench_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  constexpr int kOrder = 300;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> digit(-9, 9);
  std::vector<int> a(kOrder * kOrder);
  for (int i = 0; i < kOrder; ++i) {
    for (int j = i; j < kOrder; ++j) a[i * kOrder + j] = a[j * kOrder + i] = digit(random);
  }
  std::string text;
  for (int i = 0; i < kOrder; ++i) {
    for (int j = 0; j < kOrder; ++j) text += std::to_string(a[i * kOrder + j]) + ' ';
    text += "\r\n";
  }
  // What an earlier, small run left in the result pane.
  matcalc::ScriptedDialogs small({"2", "0.001"});
  const matcalc::TraceBuffer earlier = matcalc::RunCommand(*matcalc::FindCommand("jacobi"), small,
                                                           "2 1\r\n1 2", std::string(), 6, {});
  matcalc::workbench::WorkbenchForm form;
  form.move(0, 0);
  form.resize(1000, 660);
  form.show();
  matcalc::workbench::SetPaneText(*form.text1(), text);
  matcalc::workbench::SetPaneText(*form.text2(), earlier.text());
  matcalc::ScriptedDialogs dialogs({std::to_string(kOrder), "0"}, {matcalc::Reply::kNo});
  form.SetDialogs(&dialogs);
  QTimer::singleShot(500, [&form] { form.action(QStringLiteral("ClassicalJacobi"))->trigger(); });
  QTimer::singleShot(20000, [&form] {
    form.StopCommand();
    QApplication::quit();
  });
  return QApplication::exec();
}
