// The window with a big trace: Jacobi of order 300 with eps 0 writes about
// 441 MB. Measures, through the real boxes of the window:
//   - how long the first prompt takes to appear, with an empty result pane
//     and again with that trace in it;
//   - the time from the give-up question's 是 to the trace shown whole;
//   - the process's peak resident memory (VmHWM) at the question and at the
//     end, and its resident memory with the trace shown;
//   - with a second order, a second run of that order while the first trace
//     is shown (the window holds that trace until the run ends): whether the
//     budgets accept it, and the peak resident memory after it.
// Run it through bench/window.sh (offscreen platform, no music).
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "symmetric_text.h"
#include "workbench/pane_text.h"
#include "workbench/workbench_form.h"

using matcalc::workbench::WorkbenchForm;

using matcalc::bench::SymmetricMatrixText;

namespace {

// A line of /proc/self/status in MiB ("VmHWM", "VmRSS").
double StatusMiB(const char* key) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(key)) {
      return line.mid(static_cast<qsizetype>(qstrlen(key)) + 1).trimmed().split(' ')[0].toDouble() /
             1024;
    }
  }
  return -1;
}

// The visible modal box, if any.
QWidget* ShownBox() {
  QWidget* box = QApplication::activeModalWidget();
  return box != nullptr && box->isVisible() ? box : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int n = argc > 1 ? std::atoi(argv[1]) : 300;
  const int second = argc > 2 ? std::atoi(argv[2]) : 0;
  WorkbenchForm form;
  form.show();
  matcalc::workbench::SetPaneText(*form.text1(), SymmetricMatrixText(n));
  QAction* jacobi = form.action(QStringLiteral("ClassicalJacobi"));
  std::printf("Jacobi, order %d, eps 0; resident at start %.0f MiB\n", n, StatusMiB("VmRSS"));

  // The boxes come up inside the window's nested event loops; a timer that
  // looks every millisecond answers them in turn.
  QElapsedTimer clock;
  int box_number = 0;
  int ended = 0;
  QTimer answerer;
  answerer.setInterval(1);
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    QWidget* box = ShownBox();
    if (box == nullptr) return;
    ++box_number;
    if (box_number == 1) {
      std::printf("first prompt, empty result pane:          %lld ms\n", clock.elapsed());
      qobject_cast<QInputDialog*>(box)->setTextValue(QString::number(n));
      qobject_cast<QInputDialog*>(box)->accept();
    } else if (box_number == 2) {
      if (qobject_cast<QInputDialog*>(box) == nullptr) {
        std::printf("order %d refused by the budgets\n", n);
        QCoreApplication::exit(1);
        return;
      }
      qobject_cast<QInputDialog*>(box)->setTextValue(QStringLiteral("0"));
      clock.restart();
      qobject_cast<QInputDialog*>(box)->accept();
    } else if (box_number == 3) {
      auto* question = qobject_cast<QMessageBox*>(box);
      if (question == nullptr) {
        std::printf("no question: the passes converged\n");
        QCoreApplication::exit(1);
        return;
      }
      std::printf("computing and showing up to the question: %lld ms\n", clock.elapsed());
      std::printf("peak resident at the question:            %.0f MiB\n", StatusMiB("VmHWM"));
      std::fflush(stdout);
      clock.restart();
      question->button(QMessageBox::Yes)->click();
    } else if (box_number == 4) {
      std::printf("first prompt, the trace in the pane:      %lld ms\n", clock.elapsed());
      if (second == 0) {
        qobject_cast<QInputDialog*>(box)->reject();
        return;
      }
      qobject_cast<QInputDialog*>(box)->setTextValue(QString::number(second));
      qobject_cast<QInputDialog*>(box)->accept();
    } else if (box_number == 5) {
      if (auto* refusal = qobject_cast<QMessageBox*>(box)) {
        std::printf("second run, order %d: refused by the budgets\n", second);
        refusal->accept();
        return;
      }
      std::printf("second run, order %d: accepted\n", second);
      qobject_cast<QInputDialog*>(box)->setTextValue(QStringLiteral("0"));
      qobject_cast<QInputDialog*>(box)->accept();
    } else if (auto* question = qobject_cast<QMessageBox*>(box)) {
      question->button(QMessageBox::Yes)->click();
    }
  });
  QObject::connect(&form, &WorkbenchForm::commandEnded, [&] {
    if (++ended == 1) {
      form.text2()->repaint();  // one paint with the trace in the pane
      std::printf("from 是 to the trace shown:               %lld ms\n", clock.elapsed());
      std::printf("trace in the pane: %.0f million characters\n",
                  form.text2()->document()->characterCount() / 1e6);
      std::printf("peak resident after 是:                   %.0f MiB\n", StatusMiB("VmHWM"));
      std::printf("resident with the trace shown:            %.0f MiB\n", StatusMiB("VmRSS"));
      std::fflush(stdout);
      QTimer::singleShot(0, [&] {
        clock.restart();
        jacobi->trigger();
      });
    } else {
      std::printf("peak resident at the end:                 %.0f MiB\n", StatusMiB("VmHWM"));
      QCoreApplication::quit();
    }
  });
  answerer.start();
  QTimer::singleShot(0, [&] {
    clock.start();
    jacobi->trigger();
  });
  return QApplication::exec();
}
