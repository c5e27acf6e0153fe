// The window after the Jacobi iteration on the textbook system, with its
// convergence chart beside it, for the README's picture:
//   xvfb-run -a -s "-screen 0 1400x640x24" build/bench/systems_screenshot docs/window-systems.png
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "desk/scripted_dialogs.h"
#include "workbench/convergence_chart.h"
#include "workbench/pane_text.h"
#include "workbench/workbench_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "window-systems.png";
  matcalc::workbench::WorkbenchForm form;
  form.move(0, 0);
  form.resize(760, 640);
  form.show();
  matcalc::workbench::SetPaneText(*form.text1(), "10 -1 -2 7.2\r\n-1 10 -2 8.3\r\n-1 -1 5 4.2");
  matcalc::ScriptedDialogs dialogs({"3", "0.0001", "100"});
  form.SetDialogs(&dialogs);
  QTimer::singleShot(500, [&form] { form.action(QStringLiteral("LinearJacobi"))->trigger(); });
  QTimer::singleShot(2500, [&form] { form.action(QStringLiteral("ShowChart"))->trigger(); });
  QTimer::singleShot(3500, [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (qobject_cast<matcalc::workbench::ChartWindow*>(widget) != nullptr) {
        widget->move(770, 0);
        widget->resize(620, 640);
      }
    }
  });
  QTimer::singleShot(5000, [&picture] {
    QApplication::primaryScreen()->grabWindow(0).save(picture);
    QApplication::quit();
  });
  return QApplication::exec();
}
