// The main window: its menus, the Solve menu's enabling, status texts, the
// edit commands, the display settings, a command through the real boxes,
// and the exit screen.
#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolTip>
#include <QTranslator>
#include <algorithm>
#include <functional>
#include <memory>

#include "commands/registry.h"
#include "desk/menus.h"
#include "desk/scripted_dialogs.h"
#include "desk/workbench_texts.h"
#include "test_support.h"
#include "workbench/about_box.h"
#include "workbench/display_settings.h"
#include "workbench/exit_screen.h"
#include "workbench/help_window.h"
#include "workbench/media.h"
#include "workbench/pane_copy.h"
#include "workbench/pane_text.h"
#include "workbench/workbench_form.h"

using namespace matcalc;
using namespace matcalc::workbench;

namespace {

QString Text1(const WorkbenchForm& form) { return QString::fromStdString(PaneText(*form.text1())); }
QString Text2(const WorkbenchForm& form) { return QString::fromStdString(PaneText(*form.text2())); }

void Select(QPlainTextEdit& pane, int start, int end) {
  QTextCursor cursor = pane.textCursor();
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  pane.setTextCursor(cursor);
}

// Runs `answer` on the next modal box as soon as it is shown. A box that a
// failed check left open is dismissed, so the test fails instead of hanging.
void WhenBoxShows(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, [answer] {
    QWidget* box = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((box = QApplication::activeModalWidget()) != nullptr, kPatienceMs);
    answer(box);
    if (auto* dialog = qobject_cast<QDialog*>(box); dialog != nullptr && dialog->isVisible()) {
      dialog->reject();
    }
  });
}

QString Shown(const std::string& text) {
  return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString ShownTitle(const std::string& title) {
  return title.empty() ? QStringLiteral("矩阵计算器") : QString::fromStdString(title);
}

// Answers the real boxes of one command as `script` recorded them for the
// same answers, noting every way a box differs from its request. Every box
// is answered, so a mismatch never leaves the command waiting.
class RealBoxAnswerer {
 public:
  // `text2`, when given, is read as each message box shows.
  RealBoxAnswerer(const std::vector<ShownBox>& script, const QPlainTextEdit* text2 = nullptr)
      : script_(script), text2_(text2) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { AnswerActiveBox(); });
    timer_.start(10);
  }
  const QStringList& mismatches() const { return mismatches_; }
  // The result pane's text behind each message box, in order.
  const std::vector<std::string>& panes_at_messages() const { return panes_at_messages_; }
  std::size_t answered() const { return next_; }

 private:
  void Differs(const QString& what, const QString& shown, const QString& expected) {
    if (shown != expected) {
      mismatches_ << QStringLiteral("box %1 %2: \"%3\" instead of \"%4\"")
                         .arg(next_ + 1)
                         .arg(what, shown, expected);
    }
  }

  void AnswerActiveBox() {
    QWidget* active = QApplication::activeModalWidget();
    if (active == nullptr || !active->isVisible()) return;
    if (next_ >= script_.size()) {
      mismatches_ << QStringLiteral("an unexpected box: ") + active->windowTitle();
      if (auto* dialog = qobject_cast<QDialog*>(active)) dialog->reject();
      return;
    }
    const ShownBox& expected = script_[next_];
    if (auto* input = qobject_cast<QInputDialog*>(active); input != nullptr && expected.is_input) {
      Differs(QStringLiteral("title"), input->windowTitle(), ShownTitle(expected.input.title));
      Differs(QStringLiteral("prompt"), input->labelText(), Shown(expected.input.prompt));
      Differs(QStringLiteral("default"), input->textValue(),
              QString::fromStdString(expected.input.default_text));
      ++next_;
      if (!expected.answer) {
        input->reject();
        return;
      }
      input->setTextValue(QString::fromStdString(*expected.answer));
      input->accept();
    } else if (auto* message = qobject_cast<QMessageBox*>(active);
               message != nullptr && !expected.is_input) {
      const MessageRequest& request = expected.message;
      if (text2_ != nullptr) panes_at_messages_.push_back(PaneText(*text2_));
      Differs(QStringLiteral("title"), message->windowTitle(), ShownTitle(request.title));
      Differs(QStringLiteral("text"), message->text(), Shown(request.text));
      const bool yes_no = request.buttons == Buttons::kYesNo;
      const QMessageBox::StandardButtons buttons =
          yes_no ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok;
      Differs(QStringLiteral("buttons"), QString::number(message->standardButtons().toInt()),
              QString::number(buttons.toInt()));
      const QMessageBox::StandardButton default_button =
          !yes_no ? QMessageBox::Ok
                  : (request.default_button == Reply::kYes ? QMessageBox::Yes : QMessageBox::No);
      Differs(QStringLiteral("default"),
              QString::number(message->standardButton(message->defaultButton())),
              QString::number(default_button));
      const QMessageBox::Icon icon = request.icon == Icon::kExclamation   ? QMessageBox::Warning
                                     : request.icon == Icon::kQuestion    ? QMessageBox::Question
                                     : request.icon == Icon::kInformation ? QMessageBox::Information
                                     : request.icon == Icon::kCritical    ? QMessageBox::Critical
                                                                          : QMessageBox::NoIcon;
      Differs(QStringLiteral("icon"), QString::number(message->icon()), QString::number(icon));
      ++next_;
      const QMessageBox::StandardButton press =
          !yes_no ? QMessageBox::Ok
                  : (expected.reply == Reply::kYes ? QMessageBox::Yes : QMessageBox::No);
      message->button(press)->click();
    } else {
      mismatches_ << QStringLiteral("box %1 is of the wrong kind").arg(next_ + 1);
      ++next_;
      if (auto* dialog = qobject_cast<QDialog*>(active)) dialog->reject();
    }
  }

  const std::vector<ShownBox>& script_;
  const QPlainTextEdit* text2_;
  std::vector<std::string> panes_at_messages_;
  std::size_t next_ = 0;
  QStringList mismatches_;
  QTimer timer_;
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void MenusFollowTheTable();
  void SolveItemsFollowWhetherText1IsBlank();
  void StatusLineFollowsEditsAndFocus();
  void RefusalNamesTheResultPaneWhenItIsTheCause();
  void FirstScreenSaysWhatToTypeAndWhyMethodsAreGreyed();
  void CopyCutAndPasteActOnText1WithFocusInText2();
  void CtrlCCopiesEitherPaneAndALongSelectionBetweenEvents();
  void ALongCopyIsHeldOnceAndCountedByTheBudgets();
  void DeleteRemovesWholeLineBreakAndNothingAtTheEnd();
  void ToolbarDispatchesOnItsKeysOnly();
  void DigitsPromptRules();
  void DefaultKeepsTheFaceAndResetsTheRest();
  void VectorNormsThroughTheRealBoxes();
  void QuestionBoxHasChineseButtonsAndNoAsDefault();
  void CommandsThroughTheRealBoxesMatchTheRunner();
  void LongTraceRoundTripsWhole();
  void SplitterAndWindowKeepTheirMinimums();
  void ClosingSignalsTheExitScreen();
  void AboutShowsTheVersionAndTheNotices();
  void ExitScreenScrollsAndEndsOnClick();
  void MediaCommandsReadAsTheyShould();
  void MessageBoxesAreWideEnoughForTheirTitles();
  void FileSizesReadInChinese();
  void HelpWindowOpensCentredOnTheWindowsScreen();

 private:
  // The result pane behind each message box of the last RunThroughRealBoxes.
  std::vector<std::string> panes_at_messages_;
  void RunThroughRealBoxes(const char* runner_name, const std::string& matrix,
                           std::vector<std::string> answers, std::vector<Reply> replies);

  WorkbenchForm* form_ = nullptr;
  QTranslator translator_;
};

void WindowTest::initTestCase() {
  QVERIFY(translator_.load(QStringLiteral("qtbase_zh_CN"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
  QApplication::installTranslator(&translator_);
}

void WindowTest::init() {
  form_ = new WorkbenchForm;
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void WindowTest::cleanup() {
  delete form_;
  form_ = nullptr;
}

// The window's menus are the shared table's, item for item (the page builds
// its own from the same table through the catalog).
void WindowTest::MenusFollowTheTable() {
  const std::vector<Menu>& table = WorkbenchMenus();
  const QList<QAction*> menus = form_->menuBar()->actions();
  QCOMPARE(menus.size(), qsizetype(table.size()));
  for (std::size_t m = 0; m < table.size(); ++m) {
    QAction* top = menus[qsizetype(m)];
    QCOMPARE(top->objectName(), FromView(table[m].name));
    QCOMPARE(top->text(), FromView(table[m].caption));
    const QList<QAction*> items = top->menu()->actions();
    QCOMPARE(items.size(), qsizetype(table[m].items.size()));
    for (std::size_t i = 0; i < table[m].items.size(); ++i) {
      const MenuItem& row = table[m].items[i];
      QAction* item = items[qsizetype(i)];
      QCOMPARE(item->objectName(), FromView(row.name));
      QCOMPARE(item->isSeparator(), row.caption == "-");
      if (!item->isSeparator()) QCOMPARE(item->text(), FromView(row.caption));
      QCOMPARE(item->shortcut(),
               QKeySequence::fromString(FromView(row.shortcut), QKeySequence::PortableText));
      if (!row.active) QVERIFY(!item->isEnabled());
    }
  }
  QVERIFY(!form_->action(QStringLiteral("EditUndo"))->isEnabled());
  QVERIFY(!form_->action(QStringLiteral("EditRecall"))->isEnabled());
  QCOMPARE(form_->windowTitle(), QStringLiteral("矩阵计算器"));
}

void WindowTest::SolveItemsFollowWhetherText1IsBlank() {
  // Any of the three menus, opened, sets the items of all by the same rule.
  for (const char* menu : {"mnuC", "mnuL", "mnuM"}) {
    auto enabled_items = [this, menu] {
      emit form_->menu(QString::fromLatin1(menu))->aboutToShow();
      int count = 0;
      for (const Command& command : Commands()) {
        if (form_->action(FromView(command.menu_item))->isEnabled()) ++count;
      }
      return count;
    };
    SetPaneText(*form_->text1(), "");
    QCOMPARE(enabled_items(), 0);
    SetPaneText(*form_->text1(), "     ");
    QCOMPARE(enabled_items(), 0);
    SetPaneText(*form_->text1(), "  x  ");
    QCOMPARE(enabled_items(), static_cast<int>(Commands().size()));
    SetPaneText(*form_->text1(), "");
    QCOMPARE(enabled_items(), 0);
  }
}

// The empty edit pane says what to type; a greyed method, pointed at,
// says why it is greyed, and the status line says it as the menu opens.
void WindowTest::FirstScreenSaysWhatToTypeAndWhyMethodsAreGreyed() {
  QCOMPARE(form_->text1()->placeholderText(), FromView(kEditPanePlaceholder));
  QVERIFY(form_->text1()->placeholderText().contains(QStringLiteral("4 1 0\n1 4 1\n0 1 4")));
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  const QString why = FromView(kSolveDisabledText);
  // What a tool tip over the item `name` of `menu`, open, says.
  const auto tip_over = [](QMenu* menu, QAction* item) {
    const QPoint at = menu->actionGeometry(item).center();
    QHelpEvent event(QEvent::ToolTip, at, menu->mapToGlobal(at));
    QApplication::sendEvent(menu, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  for (const char* name : {"mnuC", "mnuL"}) {
    QMenu* menu = form_->menu(QString::fromLatin1(name));
    for (const char* text : {"", "  x  "}) {
      SetPaneText(*form_->text1(), text);
      form_->action(QStringLiteral("FileNew"))->trigger();  // the status says 状态
      SetPaneText(*form_->text1(), text);
      menu->popup(form_->mapToGlobal(QPoint(10, 10)));
      QVERIFY(QTest::qWaitForWindowExposed(menu));
      const bool blank = *text == '\0';
      QCOMPARE(form_->status_text() == why, blank);
      for (QAction* item : menu->actions()) {
        if (item->isSeparator() || FindCommand(item->objectName().toStdString()) == nullptr) {
          continue;
        }
        QCOMPARE(item->isEnabled(), !blank);
        QCOMPARE(tip_over(menu, item), blank ? why : QString());
        QToolTip::hideText();
      }
      menu->close();
    }
  }
}

// With the largest order the budgets accept beside an empty result pane, a
// pane of earlier text leaves no room: the refusal says to empty the pane,
// and the pane stays as it was.
void WindowTest::RefusalNamesTheResultPaneWhenItIsTheCause() {
  SetPaneText(*form_->text1(), "1");
  // The message the window shows for Jacobi of `order`, its precision box
  // cancelled: empty when the order was accepted.
  const auto refusal = [this](int order) {
    ScriptedDialogs dialogs({std::to_string(order)});
    form_->SetDialogs(&dialogs);
    form_->action(QStringLiteral("ClassicalJacobi"))->trigger();
    if (!QTest::qWaitFor([this] { return !form_->busy(); }, 30000)) return std::string("busy");
    form_->SetDialogs(nullptr);
    for (const ShownBox& box : dialogs.shown()) {
      if (!box.is_input) return box.message.text;
    }
    return std::string();
  };
  int accepted = 2;
  int refused = 32767;
  QVERIFY(refusal(refused) == std::string(kOrderTooLargeText));
  while (refused - accepted > 1) {
    const int middle = (accepted + refused) / 2;
    (refusal(middle).empty() ? accepted : refused) = middle;
  }
  // A few megabytes of earlier lines, each some 500 bytes of the window's.
  std::string earlier;
  for (int i = 0; i < 40'000; ++i) earlier += "1\r\n";
  SetPaneText(*form_->text2(), earlier);
  QCOMPARE(QString::fromStdString(refusal(accepted)), FromView(kPaneTooFullText));
  QCOMPARE(Text2(*form_), QString::fromStdString(earlier));
  QCOMPARE(QString::fromStdString(refusal(refused)), FromView(kOrderTooLargeText));
}

void WindowTest::StatusLineFollowsEditsAndFocus() {
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  form_->text2()->setFocus();
  QTRY_COMPARE_WITH_TIMEOUT(form_->status_text(), QStringLiteral("结果区域"), kPatienceMs);
  form_->text1()->setFocus();
  QTRY_COMPARE_WITH_TIMEOUT(form_->status_text(), QStringLiteral("编辑区域"), kPatienceMs);
  QTest::keyClicks(form_->text1(), QStringLiteral("1"));
  QCOMPARE(form_->status_text(), QStringLiteral("编辑状态"));
  form_->action(QStringLiteral("FileNew"))->trigger();
  QCOMPARE(form_->status_text(), QStringLiteral("状态"));

  // The focus handed back to the same pane when the window comes to the
  // front again or a menu closes keeps the status (a file's name, say).
  for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
    QFocusEvent handed_back(QEvent::FocusIn, reason);
    QApplication::sendEvent(form_->text1(), &handed_back);
    QCOMPARE(form_->status_text(), QStringLiteral("状态"));
  }
  QFocusEvent to_other_pane(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(form_->text2(), &to_other_pane);
  QCOMPARE(form_->status_text(), QStringLiteral("结果区域"));
}

void WindowTest::CopyCutAndPasteActOnText1WithFocusInText2() {
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  SetPaneText(*form_->text1(), "1 2\r\n3 4");
  SetPaneText(*form_->text2(), "result");
  form_->text2()->setFocus();
  Select(*form_->text2(), 0, 3);
  Select(*form_->text1(), 2, 5);  // "2", the line break, "3"

  form_->action(QStringLiteral("EditCopy"))->trigger();
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("2\n3"));
  form_->action(QStringLiteral("EditCut"))->trigger();
  QCOMPARE(Text1(*form_), QStringLiteral("1  4"));
  QApplication::clipboard()->setText(QStringLiteral("a\r\nb"));
  form_->action(QStringLiteral("EditPaste"))->trigger();
  QCOMPARE(Text1(*form_), QStringLiteral("1 a\r\nb 4"));
  QCOMPARE(Text2(*form_), QStringLiteral("result"));

  // An empty clipboard replaces nothing.
  QApplication::clipboard()->clear();
  Select(*form_->text1(), 0, 1);
  form_->action(QStringLiteral("EditPaste"))->trigger();
  QCOMPARE(Text1(*form_), QStringLiteral("1 a\r\nb 4"));

  form_->action(QStringLiteral("EditSelectAll"))->trigger();
  QCOMPARE(form_->text1()->textCursor().selectedText().size(), 7);
  QVERIFY(form_->text2()->hasFocus());
}

// Ctrl+C copies the focused pane's selection as its text with LF breaks; a
// selection of millions of characters is built between events, the window
// busy meanwhile, and the clipboard holds it as UTF-8 text.
void WindowTest::CtrlCCopiesEitherPaneAndALongSelectionBetweenEvents() {
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  SetPaneText(*form_->text2(), "特征值\r\n 1 2\r\n");
  form_->text2()->setFocus();
  Select(*form_->text2(), 1, 6);
  QTest::keyClick(form_->text2(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("征值\n 1"));

  std::string trace;
  for (int i = 0; i < 100'000; ++i) trace += "          0.123456       -7.5E-05 矩阵\r\n";
  SetPaneText(*form_->text2(), trace);
  QTest::keyClick(form_->text2(), Qt::Key_A, Qt::ControlModifier);
  int events = 0;
  QTimer ticking;
  connect(&ticking, &QTimer::timeout, this, [&] { ++events; });
  ticking.start(0);
  QTest::keyClick(form_->text2(), Qt::Key_C, Qt::ControlModifier);
  QVERIFY(form_->busy());
  QVERIFY(!form_->action(QStringLiteral("FileNew"))->isEnabled());
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  // The work went on between events (how many depends on the machine's speed).
  QVERIFY(events > 0);
  const QMimeData* data = QApplication::clipboard()->mimeData();
  QVERIFY(data != nullptr);
  QVERIFY(!data->hasHtml());
  std::string expected = trace;
  expected.erase(std::remove(expected.begin(), expected.end(), '\r'), expected.end());
  QVERIFY(data->data(QStringLiteral("text/plain")) == QByteArray::fromStdString(expected));
  QVERIFY(form_->action(QStringLiteral("FileNew"))->isEnabled());

  // What the panes' own copy, drag and selection clipboard get: a long
  // selection is built only when read, and not at all once the pane changed.
  const int end = form_->text2()->document()->characterCount() - 1;
  std::unique_ptr<QMimeData> lazy(SelectionData(*form_->text2()->document(), 0, end));
  QVERIFY(lazy->data(QStringLiteral("text/plain")) == QByteArray::fromStdString(expected));
  std::unique_ptr<QMimeData> short_one(SelectionData(*form_->text2()->document(), 10, 18));
  QCOMPARE(short_one->text(), QStringLiteral("0.123456"));
  form_->text2()->appendPlainText(QStringLiteral("x"));
  QVERIFY(lazy->data(QStringLiteral("text/plain")).isEmpty());
  QCOMPARE(short_one->text(), QStringLiteral("0.123456"));
}

// A long selection copied twice is built once; another long selection
// replaces the window's earlier copy rather than stand beside it while it is
// built; and the copy on the clipboard counts in the budgets of a command.
void WindowTest::ALongCopyIsHeldOnceAndCountedByTheBudgets() {
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  // 1,000 lines of 10,000 characters: 10 MB of UTF-8.
  std::string trace;
  for (int i = 0; i < 1000; ++i) trace += std::string(9998, '7') + "\r\n";
  SetPaneText(*form_->text2(), trace);
  form_->text2()->setFocus();
  QTest::keyClick(form_->text2(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(form_->text2(), Qt::Key_C, Qt::ControlModifier);
  QVERIFY(form_->busy());
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  const QMimeData* first = QApplication::clipboard()->mimeData();
  QCOMPARE(first->data(QStringLiteral("text/plain")).size(), qsizetype(9'999'000));
  QCOMPARE(form_->clipboard_bytes(), 9'999'000.0);

  QTest::keyClick(form_->text2(), Qt::Key_C, Qt::ControlModifier);
  QVERIFY(!form_->busy());
  QCOMPARE(QApplication::clipboard()->mimeData(), first);
  // Nothing selected copies nothing: the copy is still there, and counted.
  Select(*form_->text2(), 3, 3);
  QTest::keyClick(form_->text2(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QApplication::clipboard()->mimeData(), first);
  QCOMPARE(form_->clipboard_bytes(), 9'999'000.0);

  // Another selection: the earlier copy is gone as soon as this one starts.
  Select(*form_->text2(), 1, 5'000'000);
  QTest::keyClick(form_->text2(), Qt::Key_C, Qt::ControlModifier);
  QVERIFY(form_->busy());
  QCOMPARE(form_->clipboard_bytes(), 0.0);
  QVERIFY(QApplication::clipboard()->mimeData() == nullptr ||
          QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")).isEmpty());
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  QVERIFY(form_->clipboard_bytes() > 4e6);
  // A change of the text makes the next copy a new one.
  QTextCursor(form_->text2()->document()).insertText(QStringLiteral("x"));
  Select(*form_->text2(), 1, 5'000'000);
  const QPointer<const QMimeData> before = QApplication::clipboard()->mimeData();
  QTest::keyClick(form_->text2(), Qt::Key_C, Qt::ControlModifier);
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  QVERIFY(before.isNull());  // replaced by a copy of the new text

  // With both panes emptied the copy stays on the clipboard, and counts: the
  // largest Jacobi order the budgets accept beside nothing (the next is some
  // 6.5 MB more) is refused beside a copy of 10 MB.
  Select(*form_->text2(), 0, PaneLength(*form_->text2()));
  QTest::keyClick(form_->text2(), Qt::Key_C, Qt::ControlModifier);
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  form_->action(QStringLiteral("FileNew"))->trigger();
  QVERIFY(form_->clipboard_bytes() > 9e6);
  SetPaneText(*form_->text1(), "1");
  const auto refused = [this](int order) {
    ScriptedDialogs dialogs({std::to_string(order)});
    form_->SetDialogs(&dialogs);
    form_->action(QStringLiteral("ClassicalJacobi"))->trigger();
    const bool ended = QTest::qWaitFor([this] { return !form_->busy(); }, 30000);
    form_->SetDialogs(nullptr);
    bool message = false;
    for (const ShownBox& box : dialogs.shown()) message |= !box.is_input;
    return !ended || message;
  };
  QApplication::clipboard()->clear();
  QCOMPARE(form_->clipboard_bytes(), 0.0);
  int accepted = 2;
  int too_large = 32767;
  while (too_large - accepted > 1) {
    const int middle = (accepted + too_large) / 2;
    (refused(middle) ? too_large : accepted) = middle;
  }
  QVERIFY(!refused(accepted));
  // The same copy again, the result pane emptied after it.
  SetPaneText(*form_->text2(), trace);
  QTest::keyClick(form_->text2(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(form_->text2(), Qt::Key_C, Qt::ControlModifier);
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  SetPaneText(*form_->text2(), "");
  QCOMPARE(form_->clipboard_bytes(), 9'999'000.0);
  QVERIFY(refused(accepted));
  QApplication::clipboard()->clear();
}

void WindowTest::DeleteRemovesWholeLineBreakAndNothingAtTheEnd() {
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  SetPaneText(*form_->text1(), "1 2\r\n3 4");
  form_->text1()->setFocus();
  Select(*form_->text1(), 3, 3);  // before the line break
  form_->action(QStringLiteral("EditDelete"))->trigger();
  QCOMPARE(Text1(*form_), QStringLiteral("1 23 4"));

  Select(*form_->text1(), 6, 6);  // the very end
  form_->action(QStringLiteral("EditDelete"))->trigger();
  QCOMPARE(Text1(*form_), QStringLiteral("1 23 4"));

  // With the focus in the result pane its length is what the caret is
  // compared with: a result of 2 characters stops a delete at position 2.
  SetPaneText(*form_->text2(), "ab");
  form_->text2()->setFocus();
  Select(*form_->text1(), 2, 2);
  form_->action(QStringLiteral("EditDelete"))->trigger();
  QCOMPARE(Text1(*form_), QStringLiteral("1 23 4"));
  Select(*form_->text1(), 1, 3);
  form_->action(QStringLiteral("EditDelete"))->trigger();
  QCOMPARE(Text1(*form_), QStringLiteral("13 4"));
  QCOMPARE(Text2(*form_), QStringLiteral("ab"));
}

void WindowTest::ToolbarDispatchesOnItsKeysOnly() {
  SetPaneText(*form_->text1(), "12345");
  Select(*form_->text1(), 1, 3);
  QApplication::clipboard()->setText(QStringLiteral("old"));
  form_->DispatchToolbarKey(QStringLiteral("复制 "));  // not a key
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("old"));
  form_->DispatchToolbarKey(QStringLiteral("复制"));
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("23"));
  form_->DispatchToolbarKey(QStringLiteral("剪切"));
  QCOMPARE(Text1(*form_), QStringLiteral("145"));
  form_->DispatchToolbarKey(QStringLiteral("粘贴"));
  QCOMPARE(Text1(*form_), QStringLiteral("12345"));

  QStringList keys;
  for (QAction* action : form_->toolbar()->actions()) {
    if (!action->isSeparator()) keys << action->data().toString();
  }
  QCOMPARE(keys, (QStringList{"新建", "打开", "保存", "另存为", "剪切", "复制", "粘贴"}));
}

void WindowTest::DigitsPromptRules() {
  ScriptedDialogs dialogs({"4"});
  form_->SetDialogs(&dialogs);
  QCOMPARE(form_->digits(), 6);
  form_->action(QStringLiteral("ShowFormatDecimalDigits"))->trigger();
  QCOMPARE(form_->digits(), 4);
  // The script is used up: the next prompt is cancelled and keeps 4.
  form_->action(QStringLiteral("ShowFormatDecimalDigits"))->trigger();
  QCOMPARE(form_->digits(), 4);
  const InputRequest& asked = dialogs.shown()[1].input;
  QCOMPARE(QString::fromStdString(asked.prompt),
           QStringLiteral("输入要设置小数数位(0-15)：\r\n默认是6."));
  QCOMPARE(QString::fromStdString(asked.title), QStringLiteral("设置小数数位"));
  QCOMPARE(QString::fromStdString(asked.default_text), QStringLiteral("4"));
  form_->SetDialogs(nullptr);
}

void WindowTest::DefaultKeepsTheFaceAndResetsTheRest() {
  QFont chosen(QStringLiteral("Noto Serif CJK SC"));
  chosen.setPointSize(20);
  chosen.setBold(true);
  chosen.setUnderline(true);
  chosen.setStrikeOut(true);
  for (QPlainTextEdit* pane : {form_->text1(), form_->text2()}) {
    ApplyChosenFont(*pane, chosen);
    ApplyBackground(*pane, Qt::yellow);
  }
  QCOMPARE(form_->text2()->font().pointSize(), 20);
  ScriptedDialogs dialogs({"2"});
  form_->SetDialogs(&dialogs);
  form_->ShowFormatDecimalDigits();
  QCOMPARE(form_->digits(), 2);
  // The exact-fractions setting: off at the start, its item checked and the
  // status line's panel shown while on, off again after 默认.
  QAction* exact = form_->action(QStringLiteral("ShowExactFractions"));
  QVERIFY(exact != nullptr && exact->isCheckable());
  const QLabel* panel = form_->findChild<QLabel*>(QStringLiteral("ExactPanel"));
  QVERIFY(panel != nullptr);
  QVERIFY(!form_->exact() && !exact->isChecked() && !panel->isVisibleTo(form_));
  exact->trigger();
  QVERIFY(form_->exact() && exact->isChecked() && panel->isVisibleTo(form_));
  QCOMPARE(panel->text(), QStringLiteral("分数"));

  form_->action(QStringLiteral("ShowDefault"))->trigger();
  QVERIFY(!form_->exact() && !exact->isChecked() && !panel->isVisibleTo(form_));
  for (QPlainTextEdit* pane : {form_->text1(), form_->text2()}) {
    const QFont font = pane->font();
    QCOMPARE(font.family(), chosen.family());
    QCOMPARE(font.pointSize(), 9);
    QVERIFY(!font.bold() && !font.italic() && !font.underline() && !font.strikeOut());
    QCOMPARE(pane->palette().color(QPalette::Base),
             QApplication::palette(pane).color(QPalette::Base));
  }
  QCOMPARE(form_->digits(), 6);
  form_->SetDialogs(nullptr);
}

void WindowTest::VectorNormsThroughTheRealBoxes() {
  // The digits prompt is a real input box, answered as a user would.
  QString prompt;
  WhenBoxShows([&prompt](QWidget* box) {
    auto* input = qobject_cast<QInputDialog*>(box);
    QVERIFY(input != nullptr);
    prompt = input->labelText();
    QCOMPARE(input->windowTitle(), QStringLiteral("设置小数数位"));
    QCOMPARE(input->textValue(), QStringLiteral("6"));
    input->setTextValue(QStringLiteral("3"));
    input->accept();
  });
  form_->action(QStringLiteral("ShowFormatDecimalDigits"))->trigger();
  QCOMPARE(prompt, QStringLiteral("输入要设置小数数位(0-15)：\n默认是6."));
  QCOMPARE(form_->digits(), 3);

  SetPaneText(*form_->text1(), "1 1 0.1234567");
  form_->action(QStringLiteral("VectorModel"))->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), kPatienceMs);
  QCOMPARE(Text2(*form_), QStringLiteral("    1    1    0.1234567\r\n"
                                         "以上是所要求解的向量，接下来输出向量的范数\r\n\r\n"
                                         "向量的1范数为： 2.1234567\r\n"
                                         "向量的2范数为： 1.42\r\n"
                                         "向量的无穷范数为： 1\r\n"));
}

void WindowTest::QuestionBoxHasChineseButtonsAndNoAsDefault() {
  QtDialogs dialogs(form_);
  QStringList buttons;
  QString title;
  WhenBoxShows([&](QWidget* box) {
    auto* message = qobject_cast<QMessageBox*>(box);
    QVERIFY(message != nullptr);
    title = message->windowTitle();
    for (QAbstractButton* button : message->buttons()) buttons << button->text().remove('&');
    QCOMPARE(message->defaultButton(), message->button(QMessageBox::No));
    QCOMPARE(message->text(), QStringLiteral("迭代次数超过限制\n是否保留？"));
    QTest::keyClick(message, Qt::Key_Return);
  });
  MessageRequest question;
  question.text = "迭代次数超过限制\r\n是否保留？";
  question.buttons = Buttons::kYesNo;
  question.icon = Icon::kExclamation;
  question.default_button = Reply::kNo;
  question.title = "警告";
  QVERIFY(dialogs.Message(question) == Reply::kNo);
  QCOMPARE(title, QStringLiteral("警告"));
  buttons.sort();
  QStringList expected{QStringLiteral("是(Y)"), QStringLiteral("否(N)")};
  QStringList plain{QStringLiteral("是"), QStringLiteral("否")};
  expected.sort();
  plain.sort();
  QVERIFY2(buttons == expected || buttons == plain, qPrintable(buttons.join(',')));

  // A box without its own title shows the program's; its button reads 确定.
  WhenBoxShows([&](QWidget* box) {
    auto* message = qobject_cast<QMessageBox*>(box);
    QVERIFY(message != nullptr);
    title = message->windowTitle();
    QVERIFY(message->button(QMessageBox::Ok)->text().startsWith(QStringLiteral("确定")));
    message->button(QMessageBox::Ok)->click();
  });
  MessageRequest done;
  done.text = "完成";
  QVERIFY(dialogs.Message(done) == Reply::kOk);
  QCOMPARE(title, QStringLiteral("矩阵计算器"));
}

// The same command with the same answers, once through the runner's script
// and once in the window through real input and message boxes: each box
// must show what the command asked for, and the result pane must hold the
// runner's trace, set in one go (or be left alone when nothing was written).
void WindowTest::RunThroughRealBoxes(const char* runner_name, const std::string& matrix,
                                     std::vector<std::string> answers, std::vector<Reply> replies) {
  const Command* command = FindCommand(runner_name);
  QVERIFY(command != nullptr && command->run != nullptr);
  const std::string before = "an earlier trace\r\n";
  ScriptedDialogs script(std::move(answers), std::move(replies));
  const TraceBuffer expected = RunCommand(*command, script, matrix, before, kDefaultDigits, {});

  SetPaneText(*form_->text1(), matrix);
  SetPaneText(*form_->text2(), before);
  QSignalSpy text2_changes(form_->text2(), &QPlainTextEdit::textChanged);
  RealBoxAnswerer answerer(script.shown(), form_->text2());
  form_
      ->action(QString::fromUtf8(command->menu_item.data(),
                                 static_cast<qsizetype>(command->menu_item.size())))
      ->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!form_->busy(), 30000);
  QVERIFY2(answerer.mismatches().isEmpty(), qPrintable(answerer.mismatches().join('\n')));
  QCOMPARE(answerer.answered(), script.shown().size());
  QVERIFY(PaneText(*form_->text1()) == matrix);
  QVERIFY(PaneText(*form_->text2()) == expected.text());
  // A pane the command never touched is never set.
  if (expected.changed()) {
    QVERIFY(text2_changes.count() >= 1);
  } else {
    QCOMPARE(text2_changes.count(), 0);
  }
  panes_at_messages_ = answerer.panes_at_messages();
}

void WindowTest::CommandsThroughTheRealBoxesMatchTheRunner() {
  // Two plain input boxes and a whole trace.
  RunThroughRealBoxes("jacobi", "2 1\r\n1 2", {"2", "0.001"}, {});
  if (QTest::currentTestFailed()) return;
  // Titles, defaults, two-line prompts and the question whether to keep a
  // trace that did not converge.
  RunThroughRealBoxes("shift", "0 1\r\n1 0", {"2", "0.0001", "0", "1", "2"}, {Reply::kYes});
  if (QTest::currentTestFailed()) return;
  // The question is asked in front of the trace it is about: the iterates
  // written so far, to which Yes then adds the closing lines.
  QCOMPARE(panes_at_messages_.size(), std::size_t{1});
  const std::string kept = PaneText(*form_->text2());
  QVERIFY(!panes_at_messages_[0].empty());
  QVERIFY(kept.compare(0, panes_at_messages_[0].size(), panes_at_messages_[0]) == 0);
  RunThroughRealBoxes("shift", "0 1\r\n1 0", {"2", "0.0001", "0", "1", "2"}, {Reply::kNo});
  if (QTest::currentTestFailed()) return;
  // A cancelled prompt leaves both panes as they were.
  RunThroughRealBoxes("jacobi", "2 1\r\n1 2", {"2"}, {});
}

// A long trace set at once comes back byte for byte (bench_window measures
// how long the window takes to show a trace of hundreds of megabytes).
void WindowTest::LongTraceRoundTripsWhole() {
  std::string trace;
  const std::string line =
      "                0.123456               -7.5E-05                      1\r\n";
  while (trace.size() < 20u * 1024 * 1024) trace += line;
  SetPaneText(*form_->text2(), trace);
  QVERIFY(PaneText(*form_->text2()) == trace);
}

void WindowTest::SplitterAndWindowKeepTheirMinimums() {
  QWidget* bar = form_->findChild<QWidget*>(QStringLiteral("imgSplitter"));
  QWidget* shadow = form_->findChild<QWidget*>(QStringLiteral("picSplitter"));
  QVERIFY(bar != nullptr && shadow != nullptr);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(1, 10));
  QVERIFY(shadow->isVisible());
  QMouseEvent move(QEvent::MouseMove, QPointF(-2000, 10), bar->mapToGlobal(QPointF(-2000, 10)),
                   Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(bar, &move);
  QCOMPARE(shadow->x(), form_->ToPixels(500));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(-2000, 10));
  QVERIFY(!shadow->isVisible());
  QCOMPARE(form_->text1()->width(), form_->ToPixels(1500));
  QCOMPARE(form_->text2()->x(), form_->ToPixels(1600));

  form_->resize(form_->ToPixels(2000), form_->ToPixels(5000));
  QTRY_COMPARE_WITH_TIMEOUT(form_->width(), form_->ToPixels(3500), kPatienceMs);
  QCOMPARE(form_->height(), form_->ToPixels(5000));
}

void WindowTest::ClosingSignalsTheExitScreen() {
  QSignalSpy closed(form_, &WorkbenchForm::closed);
  form_->action(QStringLiteral("mnuHelpFile"))->trigger();
  QWidget* help = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->inherits("matcalc::workbench::HelpWindow") && widget->isVisible()) help = widget;
  }
  QVERIFY2(help != nullptr, "the manual was not found or not shown");
  QVERIFY(help->findChild<QTextBrowser*>()->toPlainText().contains(QStringLiteral("输入格式")));
  form_->ShowAbout();
  QWidget* about = QApplication::activeModalWidget();
  QVERIFY(about == nullptr);  // the about box is modeless
  form_->action(QStringLiteral("File"))->trigger();
  QCOMPARE(closed.count(), 1);
  QVERIFY(!form_->isVisible());
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->inherits("matcalc::workbench::AboutBox")) QVERIFY(!widget->isVisible());
  }
  QVERIFY(!help->isVisible());
}

void WindowTest::AboutShowsTheVersionAndTheNotices() {
  form_->ShowAbout();
  AboutBox* about = form_->findChild<AboutBox*>();
  QVERIFY(about != nullptr && about->isVisible());
  QVERIFY(QTest::qWaitForWindowExposed(about));
  QLabel* text = about->findChild<QLabel*>();
  QVERIFY(text->text().contains(QStringLiteral("版本 " MATCALC_EXPECTED_VERSION "<")));
  // At the size it opens with, every line of every label is in view.
  for (const QLabel* label : about->findChildren<QLabel*>()) {
    const int needed =
        label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
    QVERIFY2(label->height() >= needed, qPrintable(label->text()));
    QVERIFY2(about->rect().contains(label->geometry()), qPrintable(label->text()));
  }

  // A click on the link, where it is drawn, shows the notices.
  auto* licence = about->findChild<QLabel*>(QStringLiteral("Licence"));
  QVERIFY(licence != nullptr);
  QVERIFY(licence->text().contains(QStringLiteral("以 MIT 许可证发布。")));
  const QFontMetrics metrics(licence->font());
  const int link_x = licence->contentsRect().left() +
                     metrics.horizontalAdvance(QStringLiteral("以 MIT 许可证发布。")) +
                     metrics.horizontalAdvance(QStringLiteral("第三方组件与许可")) / 2;
  QTest::mouseClick(licence, Qt::LeftButton, {}, QPoint(link_x, licence->height() / 2));
  HelpWindow* notices = about->findChild<HelpWindow*>();
  QVERIFY2(notices != nullptr && notices->isVisible(), "the notices were not found or not shown");
  QCOMPARE(notices->windowTitle(), QStringLiteral("第三方组件与许可"));
  const QString shown = notices->browser()->toPlainText();
  for (const char* listed :
       {"MIT", "Qt 6", "LGPL-3.0-only", "FluidSynth", "Qt Charts", "GPL-3.0"}) {
    QVERIFY2(shown.contains(QString::fromUtf8(listed)), listed);
  }
  // Esc closes the box, and its notices with it.
  QTest::keyClick(about, Qt::Key_Escape);
  QVERIFY(!about->isVisible());
  QVERIFY(!notices->isVisible());
}

void WindowTest::ExitScreenScrollsAndEndsOnClick() {
  Media media;
  ExitScreen screen(&media, QStringLiteral("/nowhere/END.MID"));
  screen.resize(400, 150);
  screen.show();
  QVERIFY(QTest::qWaitForWindowExposed(&screen));
  const int inner = PixelsToTwips(150, screen.logicalDpiY());
  QCOMPARE(screen.label_top(), inner);
  QCOMPARE(screen.step(), qRound(inner / 250.0));
  QVERIFY(screen.step() > 0);
  screen.Tick();
  QCOMPARE(screen.label_top(), inner - screen.step());
  // The timer moves it on its own.
  QTRY_VERIFY_WITH_TIMEOUT(screen.label_top() < inner - 3 * screen.step(), kPatienceMs);
  // Shown again, the credits go on from where they were.
  screen.hide();
  const int top = screen.label_top();
  screen.show();
  QVERIFY(QTest::qWaitForWindowExposed(&screen));
  QVERIFY(screen.label_top() <= top);

  QSignalSpy finished(&screen, &ExitScreen::finished);
  QTest::mouseClick(screen.credits(), Qt::LeftButton);
  QCOMPARE(finished.count(), 1);
  const std::vector<std::string> expected = {"stop tune1", "close tune1",
                                             "open /nowhere/END.MID alias tune1", "stop tune1",
                                             "close tune1"};
  QVERIFY(media.sent() == expected);
}

void WindowTest::MediaCommandsReadAsTheyShould() {
  Media media({"/nowhere/font.sf2"});
  QVERIFY(!media.Play("/a b/END.MID", "tune1"));  // nothing to play: silence
  const std::vector<std::string> expected = {"stop tune1", "close tune1",
                                             "open /a b/END.MID alias tune1"};
  QVERIFY(media.sent() == expected);
  QVERIFY(!media.Send("play tune1 from 0"));
  QVERIFY(!media.Send("rewind tune1"));
  media.Stop("tune1");
  QCOMPARE(media.sent().back(), std::string("close tune1"));
}

void WindowTest::MessageBoxesAreWideEnoughForTheirTitles() {
  QtDialogs dialogs(form_);
  for (const char* title : {"", "输入值错误", "一个相当长的标题，比正文长得多"}) {
    int width = 0;
    int needed = 0;
    WhenBoxShows([&](QWidget* box) {
      width = box->width();
      needed = box->fontMetrics().horizontalAdvance(box->windowTitle()) + 100;
      qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    MessageRequest request;
    request.text = "好";
    request.title = title;
    dialogs.Message(request);
    QVERIFY2(width >= needed, title);
  }
}

void WindowTest::FileSizesReadInChinese() {
  const std::pair<qint64, const char*> rows[] = {{0, "0 字节"},
                                                 {1023, "1023 字节"},
                                                 {1024, "1.00 KB"},
                                                 {5000000, "4.77 MB"},
                                                 {3LL << 30, "3.00 GB"}};
  for (const auto& [bytes, text] : rows) QCOMPARE(FileSizeText(bytes), QString::fromUtf8(text));
}

void WindowTest::HelpWindowOpensCentredOnTheWindowsScreen() {
  form_->action(QStringLiteral("mnuHelpFile"))->trigger();
  QWidget* help = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->inherits("matcalc::workbench::HelpWindow") && widget->isVisible()) help = widget;
  }
  QVERIFY(help != nullptr);
  const QRect free = form_->screen()->availableGeometry();
  QVERIFY(free.contains(help->geometry()));
  QVERIFY((help->geometry().center() - free.center()).manhattanLength() < 40);
  help->close();
}

QTEST_MAIN(WindowTest)
#include "test_window.moc"
