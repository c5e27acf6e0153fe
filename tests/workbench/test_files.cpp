// New, open, save and save as through the window, with the file dialogs and
// message boxes answered by the test.
#include <atomic>
#include <chrono>
#include <thread>

#include <QtTest>

#include <sys/stat.h>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <algorithm>

#include "commands/registry.h"
#include "desk/examples.h"
#include "desk/opening.h"
#include "desk/scripted_dialogs.h"
#include "test_support.h"
#include "workbench/pane_text.h"
#include "workbench/workbench_form.h"

using namespace matcalc;
using namespace matcalc::workbench;

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll();
}

QString Text1(const WorkbenchForm& form) { return QString::fromStdString(PaneText(*form.text1())); }
QString Text2(const WorkbenchForm& form) { return QString::fromStdString(PaneText(*form.text2())); }

// The message texts shown, in order.
QStringList Messages(const ScriptedDialogs& dialogs) {
  QStringList texts;
  for (const ShownBox& box : dialogs.shown()) {
    if (!box.is_input) texts << QString::fromStdString(box.message.text);
  }
  return texts;
}

}  // namespace

class FilesTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void OpensGb18030AndUtf8WithByteOrderMark();
  void LargeFileQuestionFrom1501Bytes();
  void NoToTheQuestionLeavesBothPanes();
  void EmptyFileEmptiesPanesAndKeepsSavePath();
  void CancelledOrFailedOpenSaysSo();
  void SaveRefusesAnEmptyResult();
  void TwoSavesAskOnceAndOpenMakesTheNextAsk();
  void SavedTraceReopensCharacterForCharacter();
  void SaveAsWritesEmptyResultAndKeepsSavePath();
  void CancelledOrFailedSavesSaySo();
  void NewEmptiesBothPanes();
  void OpensUtf16BothWays();
  void RefusesAFileTooLargeForTheBudget();
  void ProgressBarMovesWhileTheTextGoesIn();
  void LongSaveIsWrittenBetweenEvents();
  void InterruptedSaveLeavesTheOldFile_data();
  void InterruptedSaveLeavesTheOldFile();
  void StoppedOpenLeavesThePanes();
  void ExamplesGoToTheEditPane();
  void ExampleAsksBeforeReplacingTheUsersText();

 private:
  QTemporaryDir* dir_ = nullptr;
  WorkbenchForm* form_ = nullptr;
  ScriptedDialogs* dialogs_ = nullptr;
  ScriptedPicker* picker_ = nullptr;
  QString Path(const char* name) const { return dir_->filePath(QString::fromLatin1(name)); }
  void Answer(std::vector<Reply> replies) {
    delete dialogs_;
    dialogs_ = new ScriptedDialogs({}, std::move(replies));
    form_->SetDialogs(dialogs_);
  }
};

void FilesTest::init() {
  dir_ = new QTemporaryDir;
  form_ = new WorkbenchForm;
  picker_ = new ScriptedPicker;
  form_->SetFilePicker(picker_);
  Answer({});
}

void FilesTest::cleanup() {
  delete form_;
  delete dialogs_;
  delete picker_;
  delete dir_;
  dialogs_ = nullptr;
}

void FilesTest::OpensGb18030AndUtf8WithByteOrderMark() {
  // "矩阵 1 2" as code page 936 wrote it.
  WriteBytes(Path("gb.txt"), QByteArray("\xbe\xd8\xd5\xf3 1 2\r\n3 4"));
  picker_->names = {Path("gb.txt")};
  form_->files().Open();
  QCOMPARE(Text1(*form_), QStringLiteral("矩阵 1 2\r\n3 4"));
  QCOMPARE(form_->status_text(), QDir::toNativeSeparators(Path("gb.txt")));

  WriteBytes(Path("bom.txt"), QByteArray("\xef\xbb\xbf") + QStringLiteral("π 2\r\n").toUtf8());
  picker_->names = {Path("bom.txt")};
  form_->files().Open();
  QCOMPARE(Text1(*form_), QStringLiteral("π 2\r\n"));
  QVERIFY(Messages(*dialogs_).isEmpty());
  QVERIFY(!form_->progress_bar()->isVisible());
}

void FilesTest::LargeFileQuestionFrom1501Bytes() {
  WriteBytes(Path("1500.txt"), QByteArray(1500, '7'));
  WriteBytes(Path("1501.txt"), QByteArray(1501, '8'));
  picker_->names = {Path("1500.txt")};
  form_->files().Open();
  QCOMPARE(dialogs_->shown().size(), size_t{0});
  QCOMPARE(Text1(*form_).size(), 1500);

  Answer({Reply::kYes});
  picker_->names = {Path("1501.txt")};
  form_->files().Open();
  QCOMPARE(dialogs_->shown().size(), size_t{1});
  const MessageRequest& question = dialogs_->shown()[0].message;
  QCOMPARE(QString::fromStdString(question.text),
           QStringLiteral("文件太大，如果打开可能要等一段时间，是否仍要继续？"));
  QCOMPARE(QString::fromStdString(question.title), QStringLiteral("温馨提示"));
  QVERIFY(question.buttons == Buttons::kYesNo);
  QVERIFY(question.icon == Icon::kQuestion);
  QVERIFY(question.default_button == Reply::kNo);
  QCOMPARE(Text1(*form_), QString(1501, QLatin1Char('8')));
}

void FilesTest::NoToTheQuestionLeavesBothPanes() {
  WriteBytes(Path("big.txt"), QByteArray(4000, '1'));
  SetPaneText(*form_->text1(), "1 2\r\n3 4");
  SetPaneText(*form_->text2(), "trace\r\n");
  Answer({Reply::kNo});
  picker_->names = {Path("big.txt")};
  form_->files().Open();
  QCOMPARE(Text1(*form_), QStringLiteral("1 2\r\n3 4"));
  QCOMPARE(Text2(*form_), QStringLiteral("trace\r\n"));
}

void FilesTest::EmptyFileEmptiesPanesAndKeepsSavePath() {
  SetPaneText(*form_->text2(), "trace");
  picker_->names = {Path("saved.txt")};
  form_->files().Save();
  QCOMPARE(form_->files().save_path(), Path("saved.txt"));

  WriteBytes(Path("empty.txt"), QByteArray());
  SetPaneText(*form_->text1(), "1");
  picker_->names = {Path("empty.txt")};
  form_->files().Open();
  QCOMPARE(Text1(*form_), QString());
  QCOMPARE(Text2(*form_), QString());
  QCOMPARE(Messages(*dialogs_), QStringList{QStringLiteral("文件为空，请重新选择文件#")});
  QCOMPARE(form_->files().save_path(), Path("saved.txt"));
}

void FilesTest::CancelledOrFailedOpenSaysSo() {
  SetPaneText(*form_->text1(), "keep");
  // A pipe has no end to read to; opening it must not wait for a writer.
  QVERIFY(::mkfifo(QFile::encodeName(Path("pipe.txt")).constData(), 0600) == 0);
  picker_->names = {QString(), Path("no-such-file.txt"), Path("pipe.txt")};
  form_->files().Open();
  form_->files().Open();
  form_->files().Open();
  QCOMPARE(Messages(*dialogs_),
           (QStringList{QStringLiteral("没有打开任何文件。"), QStringLiteral("操作有误#"),
                        QStringLiteral("操作有误#")}));
  QCOMPARE(Text1(*form_), QStringLiteral("keep"));
}

void FilesTest::SaveRefusesAnEmptyResult() {
  form_->files().Save();
  QCOMPARE(Messages(*dialogs_), QStringList{QStringLiteral("结果为空，不能保存#")});
  QCOMPARE(picker_->asked, 0);
}

void FilesTest::TwoSavesAskOnceAndOpenMakesTheNextAsk() {
  SetPaneText(*form_->text2(), "a\r\nb");
  picker_->names = {Path("out.txt")};
  form_->files().Save();
  SetPaneText(*form_->text2(), "c\r\n");
  form_->files().Save();
  QCOMPARE(picker_->asked, 1);
  QCOMPARE(ReadBytes(Path("out.txt")), QByteArray("c\r\n"));
  QCOMPARE(form_->status_text(), QDir::toNativeSeparators(Path("out.txt")));

  WriteBytes(Path("in.txt"), "1 2");
  picker_->names = {Path("in.txt"), Path("second.txt")};
  form_->files().Open();
  QCOMPARE(form_->files().save_path(), QString());
  SetPaneText(*form_->text2(), "d");
  form_->files().Save();
  QCOMPARE(picker_->asked, 3);
  QCOMPARE(ReadBytes(Path("second.txt")), QByteArray("d"));
}

void FilesTest::SavedTraceReopensCharacterForCharacter() {
  // Line breaks, trailing blanks, an empty last line, Chinese, a
  // non-breaking space, and far more than 32767 characters.
  std::string trace = "以上是所要求解的向量\r\n    1    -2  \r\n\r\n";
  trace += "x\xc2\xa0y\r\n";
  for (int i = 0; i < 5000; ++i) trace += "          0.123456       -7.5E-05\r\n";
  SetPaneText(*form_->text2(), trace);
  picker_->names = {Path("trace.txt")};
  form_->files().Save();
  QCOMPARE(ReadBytes(Path("trace.txt")), QByteArray::fromStdString(trace));

  Answer({Reply::kYes});
  picker_->names = {Path("trace.txt")};
  form_->files().Open();
  QVERIFY(PaneText(*form_->text1()) == trace);
}

void FilesTest::SaveAsWritesEmptyResultAndKeepsSavePath() {
  SetPaneText(*form_->text2(), "first");
  picker_->names = {Path("a.txt"), Path("b.txt")};
  form_->files().Save();
  form_->text2()->clear();
  form_->files().SaveAs();
  QCOMPARE(ReadBytes(Path("b.txt")), QByteArray());
  QCOMPARE(form_->files().save_path(), Path("a.txt"));
  QCOMPARE(form_->status_text(), QDir::toNativeSeparators(Path("b.txt")));
  QVERIFY(Messages(*dialogs_).isEmpty());
}

void FilesTest::CancelledOrFailedSavesSaySo() {
  SetPaneText(*form_->text2(), "x");
  const QString unwritable = Path("no-such-dir/out.txt");
  picker_->names = {QString(), unwritable, QString(), unwritable};
  form_->files().Save();
  form_->files().Save();
  form_->files().SaveAs();
  form_->files().SaveAs();
  // A failed write says why on a second line.
  const QString failed = QStringLiteral("操作有误！\r\nNo such file or directory");
  QCOMPARE(Messages(*dialogs_), (QStringList{QStringLiteral("你没有存盘,数据没有被保存下来！"),
                                             failed, QStringLiteral("没有保存文件。"), failed}));
  // Messages without a title of their own get the program's.
  QCOMPARE(QString::fromStdString(dialogs_->shown()[0].message.title), QString());
}

void FilesTest::NewEmptiesBothPanes() {
  SetPaneText(*form_->text1(), "1 2");
  SetPaneText(*form_->text2(), "3");
  form_->DispatchToolbarKey(QStringLiteral("新建"));
  QCOMPARE(Text1(*form_), QString());
  QCOMPARE(Text2(*form_), QString());
  QCOMPARE(form_->status_text(), QStringLiteral("状态"));
}

void FilesTest::OpensUtf16BothWays() {
  const QString text = QStringLiteral("矩阵 1 2\r\n3 4 \U0001F600");
  for (const auto order : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
    auto encode = QStringEncoder(order, QStringConverter::Flag::WriteBom);
    WriteBytes(Path("u16.txt"), QByteArray(encode(text)));
    picker_->names = {Path("u16.txt")};
    form_->files().Open();
    QCOMPARE(Text1(*form_), text);
  }
  QVERIFY(Messages(*dialogs_).isEmpty());
}

void FilesTest::RefusesAFileTooLargeForTheBudget() {
  SetPaneText(*form_->text1(), "keep 1");
  SetPaneText(*form_->text2(), "keep 2");
  // Longer than any command could read: refused unread (a sparse file takes
  // no room on the disk), without the question about waiting.
  const QString huge = Path("huge.txt");
  {
    QFile file(huge);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(static_cast<qint64>(kWindowLargestFileBytes) + 1));
  }
  // Three million empty lines: a small file, but the edit pane would need
  // about 400 bytes for each line.
  WriteBytes(Path("lines.txt"), QByteArray(3'000'000, '\n'));
  Answer({Reply::kYes});
  picker_->names = {huge, Path("lines.txt")};
  form_->files().Open();
  form_->files().Open();
  QCOMPARE(Messages(*dialogs_),
           (QStringList{QStringLiteral("文件太大，不能打开。"),
                        QStringLiteral("文件太大，如果打开可能要等一段时间，是否仍要继续？"),
                        QStringLiteral("文件太大，不能打开。")}));
  QCOMPARE(QString::fromStdString(dialogs_->shown()[0].message.title), QString());
  QCOMPARE(Text1(*form_), QStringLiteral("keep 1"));
  QCOMPARE(Text2(*form_), QStringLiteral("keep 2"));
  QVERIFY(form_->progress_bar()->isHidden());
}

void FilesTest::ProgressBarMovesWhileTheTextGoesIn() {
  QByteArray bytes;
  while (bytes.size() < 3'000'000) bytes += "12.5 -3 sqr(2) 4 5 6 7\r\n矩阵 8 9\r\n";
  WriteBytes(Path("big.txt"), bytes);
  QList<int> seen;
  int while_partly_shown = 0;  // moves while only part of the text is in the pane
  const int full = QString::fromUtf8(bytes).size();
  QProgressBar* bar = form_->progress_bar();
  connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
    if (bar->isHidden()) return;
    seen << value;
    const int in_pane = PaneLength(*form_->text1());
    if (in_pane > 0 && in_pane < full) ++while_partly_shown;
  });
  Answer({Reply::kYes});
  picker_->names = {Path("big.txt")};
  form_->files().Open();
  QCOMPARE(PaneText(*form_->text1()), bytes.toStdString());
  // Many steps, never back, the last ones while the text goes into the pane.
  QVERIFY2(while_partly_shown >= 3, qPrintable(QString::number(while_partly_shown)));
  QVERIFY(seen.size() > 10);
  QVERIFY(std::is_sorted(seen.begin(), seen.end() - 1));
  QVERIFY(seen.at(seen.size() - 2) > bar->maximum() * 9 / 10);
  QVERIFY(bar->isHidden());
}

namespace {

// A trace longer than is written at once: some 4.4 million characters.
std::string LongTrace() {
  std::string trace = "以上是所要求解的向量\r\n";
  for (int i = 0; i < 120'000; ++i) trace += "          0.123456       -7.5E-05  x\xc2\xa0y\r\n";
  return trace;
}

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

}  // namespace

void FilesTest::LongSaveIsWrittenBetweenEvents() {
  const std::string trace = LongTrace();
  SetPaneText(*form_->text2(), trace);
  QVERIFY(form_->text2()->document()->characterCount() > DocumentFiles::kWriteNowCharacters);
  int events = 0;
  QTimer ticking;
  connect(&ticking, &QTimer::timeout, this, [&] { ++events; });
  ticking.start(0);
  picker_->names = {Path("trace.txt")};
  form_->files().SaveAs();
  // Saving is a busy state: the panes cannot change under it.
  QVERIFY(form_->files().saving());
  QVERIFY(form_->busy());
  QVERIFY(!form_->action(QStringLiteral("FileNew"))->isEnabled());
  QVERIFY(!form_->action(QStringLiteral("FileSaveAs"))->isEnabled());
  QVERIFY(form_->progress_bar()->isVisible() || !form_->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(!form_->files().saving(), 30000);
  // The work went on between events (how many depends on the machine's speed).
  QVERIFY(events > 0);
  QVERIFY(ReadBytes(Path("trace.txt")) == QByteArray::fromStdString(trace));
  QCOMPARE(form_->status_text(), QDir::toNativeSeparators(Path("trace.txt")));
  QVERIFY(!form_->busy());
  QVERIFY(form_->action(QStringLiteral("FileNew"))->isEnabled());
  QCOMPARE(FilesIn(dir_->path()), QStringList{QStringLiteral("trace.txt")});
}

// A save stopped half-way, or meeting a full disk half-way, leaves the file
// it would have replaced byte for byte, and no temporary file beside it.
void FilesTest::InterruptedSaveLeavesTheOldFile_data() {
  QTest::addColumn<bool>("disk_full");
  QTest::newRow("stopped") << false;
  QTest::newRow("disk full") << true;
}

void FilesTest::InterruptedSaveLeavesTheOldFile() {
  QFETCH(bool, disk_full);
  const QByteArray old("old trace\r\n\xe7\x9f\xa9\xe9\x98\xb5 1 2\r\n");
  WriteBytes(Path("trace.txt"), old);
  SetPaneText(*form_->text2(), LongTrace());
  qint64 written = 0;
  std::atomic<bool> stop_now = false;
  std::atomic<bool> stop_asked = false;
  form_->files().SetChunkWrite([&](QFileDevice& file, const QByteArray& bytes) -> qint64 {
    if (written > 1'000'000) {
      if (disk_full) {
        // Half the bytes go in, then the disk is full.
        file.write(bytes.left(bytes.size() / 2));
        return -1;
      }
      // The writer waits here until the stop has been asked for, so that
      // the save cannot finish first however the threads are scheduled.
      stop_now = true;
      while (!stop_asked) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    written += bytes.size();
    return file.write(bytes);
  });
  picker_->names = {Path("trace.txt")};
  form_->files().Save();
  if (!disk_full) {
    QTRY_VERIFY_WITH_TIMEOUT(stop_now, kPatienceMs);
    form_->StopCommand();
    stop_asked = true;
  }
  QTRY_VERIFY_WITH_TIMEOUT(!form_->files().saving(), 30000);
  QVERIFY(written > 1'000'000);
  QCOMPARE(ReadBytes(Path("trace.txt")), old);
  QCOMPARE(FilesIn(dir_->path()), QStringList{QStringLiteral("trace.txt")});
  QVERIFY(!form_->busy());
  const QStringList messages = Messages(*dialogs_);
  if (disk_full) {
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith(QStringLiteral("操作有误！\r\n")));
  } else {
    QVERIFY(messages.isEmpty());
    QCOMPARE(form_->status_text(), QStringLiteral("保存已停止，文件没有改变"));
  }
}

// Opening is a busy state: while the file is read the items that would
// change the panes are disabled, and 停止 leaves both panes as they were.
void FilesTest::StoppedOpenLeavesThePanes() {
  QByteArray bytes;
  while (bytes.size() < 3'000'000) bytes += "12.5 -3 sqr(2) 4 5 6 7\r\n";
  WriteBytes(Path("big.txt"), bytes);
  SetPaneText(*form_->text1(), "keep 1");
  SetPaneText(*form_->text2(), "keep 2");
  bool disabled_while_open = false;
  connect(form_->progress_bar(), &QProgressBar::valueChanged, this, [&](int value) {
    if (value == 0 || !form_->busy()) return;
    disabled_while_open = !form_->action(QStringLiteral("FileOpen"))->isEnabled() &&
                          !form_->action(QStringLiteral("MatrixMi"))->isEnabled();
    form_->StopCommand();
  });
  Answer({Reply::kYes});
  picker_->names = {Path("big.txt")};
  form_->files().Open();
  QVERIFY(disabled_while_open);
  QCOMPARE(Text1(*form_), QStringLiteral("keep 1"));
  QCOMPARE(Text2(*form_), QStringLiteral("keep 2"));
  QVERIFY(!form_->busy());
  QVERIFY(form_->action(QStringLiteral("FileOpen"))->isEnabled());
  QVERIFY(form_->progress_bar()->isHidden());
}

// Each Help menu example puts its file's text into the edit pane, as opening
// it would: the result pane is emptied and the status names the file.
void FilesTest::ExamplesGoToTheEditPane() {
  for (const Example& example : Examples()) {
    const QString name = FromView(example.item);
    SetPaneText(*form_->text2(), "trace\r\n");
    QAction* item = form_->action(name);
    QVERIFY2(item != nullptr, qPrintable(name));
    QCOMPARE(item->text(), FromView(example.caption));
    item->trigger();
    const QString path = QStringLiteral(MATCALC_RESOURCES_DIR "/") + FromView(ExamplePath(example));
    QString text = QString::fromUtf8(ReadBytes(path));
    QVERIFY2(!text.isEmpty(), qPrintable(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QCOMPARE(Text1(*form_), text);
    QCOMPARE(Text2(*form_), QString());
    QVERIFY(form_->status_text().endsWith(FromView(example.file)));
  }
  // Choosing the one already there asks nothing either.
  form_->action(FromView(Examples().back().item))->trigger();
  QVERIFY(dialogs_->shown().empty());
}

void FilesTest::ExampleAsksBeforeReplacingTheUsersText() {
  SetPaneText(*form_->text1(), "1 2\r\n3 4");
  SetPaneText(*form_->text2(), "trace\r\n");
  Answer({Reply::kNo});
  form_->action(QStringLiteral("HelpExampleSymmetric"))->trigger();
  QCOMPARE(dialogs_->shown().size(), size_t{1});
  QCOMPARE(QString::fromStdString(dialogs_->shown()[0].message.text),
           QStringLiteral("编辑区域中的内容将被示例替换，是否继续？"));
  QCOMPARE(Text1(*form_), QStringLiteral("1 2\r\n3 4"));
  QCOMPARE(Text2(*form_), QStringLiteral("trace\r\n"));

  Answer({Reply::kYes});
  form_->action(QStringLiteral("HelpExampleSymmetric"))->trigger();
  QCOMPARE(Text1(*form_), QStringLiteral("4 1 -2\r\n1 3 0\r\n-2 0 5\r\n"));
  QCOMPARE(Text2(*form_), QString());

  // A long text is asked about without being compared, blanks or not.
  SetPaneText(*form_->text1(), std::string(4000, ' '));
  Answer({Reply::kNo});
  form_->action(QStringLiteral("HelpExampleVector"))->trigger();
  QCOMPARE(dialogs_->shown().size(), size_t{1});
  QCOMPARE(Text1(*form_).size(), 4000);
}

QTEST_MAIN(FilesTest)
#include "test_files.moc"
