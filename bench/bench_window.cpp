// The window with a big trace: Jacobi of order 300 with eps 0 writes about
// 441 MB. Measures, through the real boxes of the window:
//   - how long the first prompt takes to appear, with an empty result pane
//     and again with that trace in it;
//   - the time from the give-up question's 是 to the trace shown whole;
//   - the process's peak resident memory (VmHWM) at the question and at the
//     end, and its resident memory with the trace shown;
//   - with a second order, a second run of that order while the first trace
//     is shown (the window holds that trace until the run ends): whether the
//     budgets accept it, and the peak resident memory after it;
//   - without one, what a user does next with the trace: 另存为, Ctrl+A
//     Ctrl+C in the result pane, Ctrl+C once more, and 导出 PDF... with the
//     copy still on the clipboard (stopped with 取消 after PDF_SECONDS, 20 by
//     default): for each the peak resident memory while it runs (VmHWM reset
//     before it), the longest time the window's event loop went without
//     handling an event (a timer due every millisecond), and how long it
//     took; for the PDF the time from the click to the progress box and the
//     pages set a second.
// Run it through bench/window.sh (offscreen platform, no music).
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "symmetric_text.h"
#include "workbench/beyond_trace.h"
#include "workbench/export_picker.h"
#include "workbench/pane_text.h"
#include "workbench/qt_dialogs.h"
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

// Resets VmHWM to the resident memory now, so that it measures what follows.
void ResetPeak() {
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

// The longest time between two turns of the event loop: a timer due every
// millisecond notes how long it was since it last ran.
class EventGaps : public QObject {
 public:
  EventGaps() {
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 gap = since_.restart();
      if (gap > longest_) {
        longest_ = gap;
        ended_at_ = phase_.elapsed();
      }
    });
  }
  void Start() {
    longest_ = 0;
    since_.start();
    phase_.start();
    timer_.start();
  }
  // When the longest gap ended, from Start.
  qint64 ended_at() const { return ended_at_; }
  qint64 Stop() {
    timer_.stop();
    if (since_.elapsed() > longest_) {
      longest_ = since_.elapsed();
      ended_at_ = phase_.elapsed();
    }
    return longest_;
  }

 private:
  QTimer timer_;
  QElapsedTimer since_;
  QElapsedTimer phase_;
  qint64 longest_ = 0;
  qint64 ended_at_ = 0;
};

class Answers : public matcalc::workbench::FilePicker, public matcalc::workbench::ExportPicker {
 public:
  QString name;
  std::optional<QString> OpenFileName(const QString&) override { return name; }
  std::optional<QString> SaveFileName(const QString&) override { return name; }
  std::optional<QString> SaveName(const QString&, const QString&, const QString&) override {
    return name;
  }
};

void Press(QWidget* widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier);
  QApplication::sendEvent(widget, &release);
}

void Report(const char* what, qint64 ms, qint64 gap, qint64 gap_end) {
  std::printf(
      "%-12s %7lld ms, peak resident %5.0f MiB, longest without events %4lld ms"
      " (ending at %lld ms)\n",
      what, ms, StatusMiB("VmHWM"), gap, gap_end);
  std::fflush(stdout);
}

// The visible modal box, if any.
QWidget* ShownBox() {
  QWidget* box = QApplication::activeModalWidget();
  return box != nullptr && box->isVisible() ? box : nullptr;
}

}  // namespace

// 另存为, Ctrl+A Ctrl+C and 导出 PDF... on the trace in the result pane, one
// after the other; the program ends after them.
void RunActions(WorkbenchForm& form, int pdf_seconds) {
  static QTemporaryDir folder;
  static Answers answers;
  static EventGaps gaps;
  static QElapsedTimer clock;
  form.SetFilePicker(&answers);
  form.beyond()->SetExportPicker(&answers);

  answers.name = folder.filePath(QStringLiteral("trace.txt"));
  ResetPeak();
  gaps.Start();
  clock.start();
  form.action(QStringLiteral("FileSaveAs"))->trigger();
  QTimer* waiting = new QTimer;
  waiting->setInterval(5);
  QObject::connect(waiting, &QTimer::timeout, [&form, waiting, pdf_seconds] {
    if (form.files().saving()) return;
    waiting->stop();
    waiting->disconnect();
    const qint64 gap = gaps.Stop();
    Report("另存为", clock.elapsed(), gap, gaps.ended_at());
    std::printf("             %.0f MB written\n", QFileInfo(answers.name).size() / 1e6);
    QFile::remove(answers.name);

    ResetPeak();
    gaps.Start();
    clock.restart();
    form.text2()->setFocus();
    Press(form.text2(), Qt::Key_A);
    Press(form.text2(), Qt::Key_C);
    QObject::connect(waiting, &QTimer::timeout, [&form, waiting, pdf_seconds] {
      if (form.busy()) return;
      waiting->stop();
      waiting->disconnect();
      const qint64 gap = gaps.Stop();
      Report("Ctrl+A Ctrl+C", clock.elapsed(), gap, gaps.ended_at());
      std::printf(
          "             %.0f MB on the clipboard; resident after %.0f MiB\n",
          QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")).size() / 1e6,
          StatusMiB("VmRSS"));
      std::fflush(stdout);

      // The same selection copied again, the first copy on the clipboard.
      ResetPeak();
      gaps.Start();
      clock.restart();
      Press(form.text2(), Qt::Key_C);
      QTest::qWaitFor([&form] { return !form.busy(); }, 600000);
      const qint64 again_gap = gaps.Stop();
      Report("Ctrl+C again", clock.elapsed(), again_gap, gaps.ended_at());

      // The box is found, timed, and cancelled after pdf_seconds.
      static qint64 box_ms = -1;
      static qint64 first_page_ms = -1;
      static int last_page = 0;
      auto* watch = new QTimer;
      watch->setInterval(2);
      QObject::connect(watch, &QTimer::timeout, [watch, pdf_seconds] {
        auto* box = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        if (box_ms < 0) box_ms = clock.elapsed();
        // "正在排版第 12 页，共 3400 页……" while pages are set.
        const QString label = box->labelText();
        if (label.startsWith(QStringLiteral("正在排版第"))) {
          last_page = label.section(QLatin1Char(' '), 1, 1).toInt();
          if (first_page_ms < 0) first_page_ms = clock.elapsed();
        }
        if (clock.elapsed() > pdf_seconds * 1000) {
          watch->stop();
          box->cancel();
        }
      });
      answers.name = folder.filePath(QStringLiteral("trace.pdf"));
      ResetPeak();
      gaps.Start();
      clock.restart();
      watch->start();
      QTimer::singleShot(0, [&form, watch] {
        form.action(QStringLiteral("FileExportPdf"))->trigger();
        watch->stop();
        const qint64 ms = clock.elapsed();
        const qint64 gap = gaps.Stop();
        Report("导出 PDF...", ms, gap, gaps.ended_at());
        std::printf(
            "             box after %lld ms, pages from %lld ms; %d pages set (%.0f a second)%s\n",
            box_ms, first_page_ms, last_page,
            last_page * 1000.0 / std::max<qint64>(1, ms - first_page_ms),
            QFile::exists(answers.name) ? "" : ", stopped: no file left");
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    });
    waiting->start();
  });
  waiting->start();
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int n = argc > 1 ? std::atoi(argv[1]) : 300;
  const int second = argc > 2 ? std::atoi(argv[2]) : 0;
  const int pdf_seconds = argc > 3 ? std::atoi(argv[3]) : 20;
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
      if (second == 0) {
        answerer.stop();
        QTimer::singleShot(0, [&] { RunActions(form, pdf_seconds); });
        return;
      }
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
