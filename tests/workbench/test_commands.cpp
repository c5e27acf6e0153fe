// Commands in the window: they compute off the window's thread, show their
// progress, stop on Esc, the 停止 button or closing the window (also while
// they wait at a box), and leave both panes as they were when stopped; no
// thread waits while a box is up. Also the font dialog's round trip.
#include <QtTest>

#include <QApplication>
#include <QDir>
#include <QFontDialog>
#include <QLibraryInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTranslator>
#include <functional>
#include <random>

#include "desk/scripted_dialogs.h"
#include "test_support.h"
#include "workbench/pane_text.h"
#include "workbench/workbench_form.h"

using namespace matcalc;
using namespace matcalc::workbench;

namespace {

// A random integer matrix of order n, one row a line: its determinant takes
// seconds, long enough to be watched and stopped.
std::string LongDeterminantText(int n) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> digit(-9, 9);
  std::string text;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      text += std::to_string(digit(random));
      text += ' ';
    }
    text += "\r\n";
  }
  return text;
}

constexpr int kLongOrder = 900;
const std::string kEarlierTrace = "an earlier trace\r\n  1  2\r\n";

// Jacobi with eps 0 never finds this matrix diagonal: it asks the order and
// eps, computes, and then asks whether to keep its trace.
const std::string kNeverDiagonal = "4 1 1\r\n1 4 1\r\n1 1 4";

// Scripted boxes that let the test act while each box is up.
class WatchedDialogs : public ScriptedDialogs {
 public:
  using ScriptedDialogs::ScriptedDialogs;
  std::function<void()> at_box = [] {};

  std::optional<std::string> Input(const InputRequest& request) override {
    at_box();
    return ScriptedDialogs::Input(request);
  }
  Reply Message(const MessageRequest& request) override {
    at_box();
    return ScriptedDialogs::Message(request);
  }
};

// The threads of this process (-1 where that cannot be counted).
int ThreadCount() {
#ifdef Q_OS_LINUX
  return static_cast<int>(
      QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
#else
  return -1;
#endif
}

}  // namespace

class CommandsTest : public QObject {
 private:
  Q_OBJECT
 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void LongCommandShowsProgressAndEscStopsIt();
  void StopButtonStopsAfterTheTraceWasShown();
  void ClosingTheWindowStopsTheCommandAndCloses();
  void NoThreadWaitsWhileABoxIsUp();
  void StoppingAtABoxLeavesBothPanes_data();
  void StoppingAtABoxLeavesBothPanes();
  void FontDialogConfirmedUnchangedChangesNothing();

 private:
  // Starts the long determinant and waits until it reports progress.
  void StartLongCommand(ScriptedDialogs& dialogs);

  WorkbenchForm* form_ = nullptr;
  std::string matrix_;
  QTranslator translator_;
};

void CommandsTest::initTestCase() {
  // As the program does: Qt's own texts in Chinese, which the font dialog's
  // style names are matched through.
  QVERIFY(translator_.load(QStringLiteral("qtbase_zh_CN"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
  QApplication::installTranslator(&translator_);
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  matrix_ = LongDeterminantText(kLongOrder);
}

void CommandsTest::init() {
  form_ = new WorkbenchForm;
  form_->show();
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
}

void CommandsTest::cleanup() {
  form_->SetDialogs(nullptr);
  delete form_;
  form_ = nullptr;
}

void CommandsTest::StartLongCommand(ScriptedDialogs& dialogs) {
  SetPaneText(*form_->text1(), matrix_);
  SetPaneText(*form_->text2(), kEarlierTrace);
  form_->SetDialogs(&dialogs);
  form_->action(QStringLiteral("A_range"))->trigger();
  QVERIFY(form_->busy());
  QTRY_VERIFY_WITH_TIMEOUT(form_->progress_bar()->value() > 0 || !form_->busy(), 60000);
  // Ended already: refused by the budgets, say.
  QVERIFY2(form_->busy(), dialogs.Log().c_str());
}

void CommandsTest::LongCommandShowsProgressAndEscStopsIt() {
  // The window's own timers keep running while the command computes.
  int ticks = 0;
  QTimer ticker;
  connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(5);
  ScriptedDialogs dialogs({std::to_string(kLongOrder)});
  SetPaneText(*form_->text1(), matrix_);
  const QString status = form_->status_text();
  StartLongCommand(dialogs);
  if (QTest::currentTestFailed()) return;
  QVERIFY(ticks > 0);
  QVERIFY(form_->progress_bar()->isVisible());
  QVERIFY(form_->status_text().startsWith(QStringLiteral("正在计算：列主元求行列式")));
  QVERIFY(form_->findChild<QPushButton*>(QStringLiteral("StopButton"))->isVisible());
  // Nothing that would start another command or change the panes.
  for (const char* name : {"A_range", "MatrixMi", "FileNew", "FileOpen", "EditPaste", "EditCut",
                           "EditDelete", "ShowFormatDecimalDigits", "ShowExactFractions"}) {
    QVERIFY2(!form_->action(QString::fromLatin1(name))->isEnabled(), name);
  }
  emit form_->menu(QStringLiteral("mnuC"))->aboutToShow();
  QVERIFY(!form_->action(QStringLiteral("MatrixMi"))->isEnabled());
  QVERIFY(form_->text1()->isReadOnly() && form_->text2()->isReadOnly());

  QSignalSpy ended(form_, &WorkbenchForm::commandEnded);
  QTest::keyClick(form_, Qt::Key_Escape);
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), kPatienceMs);
  QCOMPARE(ended.count(), 1);
  QVERIFY(PaneText(*form_->text1()) == matrix_);
  QVERIFY(PaneText(*form_->text2()) == kEarlierTrace);
  QCOMPARE(dialogs.shown().size(), std::size_t{1});  // no message either
  QCOMPARE(form_->status_text(), status);
  QVERIFY(!form_->progress_bar()->isVisible());
  QVERIFY(form_->action(QStringLiteral("FileNew"))->isEnabled());
  QVERIFY(!form_->text1()->isReadOnly() && !form_->text2()->isReadOnly());
  emit form_->menu(QStringLiteral("mnuC"))->aboutToShow();
  QVERIFY(form_->action(QStringLiteral("A_range"))->isEnabled());
}

void CommandsTest::StopButtonStopsAfterTheTraceWasShown() {
  // Jacobi with eps 0 on a matrix that never becomes diagonal asks whether
  // to keep its trace, in front of the trace. Stopped while it computes
  // again after the answer, it gives back the pane from before the command.
  SetPaneText(*form_->text1(), kNeverDiagonal);
  SetPaneText(*form_->text2(), kEarlierTrace);
  ScriptedDialogs dialogs({"3", "0"}, {Reply::kYes});
  form_->SetDialogs(&dialogs);
  form_->action(QStringLiteral("ClassicalJacobi"))->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  const std::string trace = PaneText(*form_->text2());
  QVERIFY(trace.find("计算被迫终止") != std::string::npos);

  ScriptedDialogs again({std::to_string(kLongOrder)});
  StartLongCommand(again);
  if (QTest::currentTestFailed()) return;
  QTest::mouseClick(form_->findChild<QPushButton*>(QStringLiteral("StopButton")), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), kPatienceMs);
  QVERIFY(PaneText(*form_->text2()) == kEarlierTrace);
}

void CommandsTest::ClosingTheWindowStopsTheCommandAndCloses() {
  QSignalSpy closed(form_, &WorkbenchForm::closed);
  ScriptedDialogs dialogs({std::to_string(kLongOrder)});
  StartLongCommand(dialogs);
  if (QTest::currentTestFailed()) return;
  form_->close();
  QTRY_VERIFY_WITH_TIMEOUT(!form_->isVisible(), kPatienceMs);
  QCOMPARE(closed.count(), 1);
  QVERIFY(!form_->busy());
  QVERIFY(PaneText(*form_->text2()) == kEarlierTrace);
}

void CommandsTest::NoThreadWaitsWhileABoxIsUp() {
  // The command is suspended at its box with what it computed; the thread
  // that computed it has ended. Its end may lag a moment behind the box.
  const int before = ThreadCount();
  if (before < 0) QSKIP("no count of threads on this system");
  QVERIFY(before > 0);
  std::vector<int> at_boxes;
  WatchedDialogs dialogs({"3", "0"}, {Reply::kYes});
  dialogs.at_box = [&at_boxes, before] {
    QTest::qWaitFor([before] { return ThreadCount() <= before; });
    at_boxes.push_back(ThreadCount());
  };
  SetPaneText(*form_->text1(), kNeverDiagonal);
  form_->SetDialogs(&dialogs);
  form_->action(QStringLiteral("ClassicalJacobi"))->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  QCOMPARE(dialogs.shown().size(), std::size_t{3});
  QCOMPARE(at_boxes, std::vector<int>(3, before));
  QVERIFY(PaneText(*form_->text2()).find("计算被迫终止") != std::string::npos);
}

void CommandsTest::StoppingAtABoxLeavesBothPanes_data() {
  QTest::addColumn<int>("box");  // the box (counted from 1) the stop comes at
  QTest::addColumn<bool>("close");
  QTest::newRow("停止 at the order's box") << 1 << false;
  QTest::newRow("停止 at the question after the passes") << 3 << false;
  QTest::newRow("closing at the question after the passes") << 3 << true;
}

void CommandsTest::StoppingAtABoxLeavesBothPanes() {
  // Answered as if it went on (the question asks to keep the trace, which
  // the pane shows by then), the command still ends where it waited.
  QFETCH(int, box);
  QFETCH(bool, close);
  SetPaneText(*form_->text1(), kNeverDiagonal);
  SetPaneText(*form_->text2(), kEarlierTrace);
  QSignalSpy ended(form_, &WorkbenchForm::commandEnded);
  QSignalSpy closed(form_, &WorkbenchForm::closed);
  WatchedDialogs dialogs({"3", "0"}, {Reply::kYes});
  int boxes = 0;
  std::string shown;
  dialogs.at_box = [&] {
    if (++boxes != box) return;
    shown = PaneText(*form_->text2());
    if (close) {
      form_->close();
    } else {
      QTest::mouseClick(form_->findChild<QPushButton*>(QStringLiteral("StopButton")),
                        Qt::LeftButton);
    }
  };
  form_->SetDialogs(&dialogs);
  form_->action(QStringLiteral("ClassicalJacobi"))->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  QCOMPARE(dialogs.shown().size(), std::size_t(box));
  if (box == 3) QVERIFY(shown.find("以上是所要求解的矩阵") != std::string::npos);
  QCOMPARE(ended.count(), 1);
  QVERIFY(PaneText(*form_->text1()) == kNeverDiagonal);
  QVERIFY(PaneText(*form_->text2()) == kEarlierTrace);
  QCOMPARE(closed.count(), close ? 1 : 0);
  QCOMPARE(form_->isVisible(), !close);
}

void CommandsTest::FontDialogConfirmedUnchangedChangesNothing() {
  const QFont before1 = form_->text1()->font();
  const QFont before2 = form_->text2()->font();
  QFont shown;
  QTimer::singleShot(0, [&shown] {
    QFontDialog* dialog = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(
        (dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) != nullptr,
        kPatienceMs);
    shown = dialog->currentFont();
    dialog->accept();
  });
  form_->action(QStringLiteral("ShowStyle"))->trigger();
  QCOMPARE(shown.family(), before1.family());
  QVERIFY(!shown.bold() && !shown.italic());
  for (const auto& [pane, before] :
       {std::pair{form_->text1(), before1}, std::pair{form_->text2(), before2}}) {
    const QFont after = pane->font();
    QCOMPARE(after.family(), before.family());
    QCOMPARE(after.pointSizeF(), before.pointSizeF());
    QCOMPARE(after.bold(), before.bold());
    QCOMPARE(after.italic(), before.italic());
    QCOMPARE(after.underline(), before.underline());
    QCOMPARE(after.strikeOut(), before.strikeOut());
  }
}

QTEST_MAIN(CommandsTest)
#include "test_commands.moc"
