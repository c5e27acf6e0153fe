#include "workbench/document_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <string>
#include <string_view>

#include "desk/opening.h"
#include "desk/workbench_texts.h"
#include "text/encoding.h"
#include "workbench/pane_text.h"
#include "workbench/program_folder.h"

namespace matcalc::workbench {
namespace {

constexpr qint64 kReadChunkBytes = 256 * 1024;
// The edit pane takes its text in pieces of about this size, so that the
// bar moves and the window repaints in between.
constexpr std::size_t kPieceBytes = 512 * 1024;
// What a line costs the edit pane beyond its characters (measured on Qt 6.4
// with a 40 MB text of 38-character lines: about 360 bytes).
constexpr double kPaneBytesPerLine = 400;

// The memory the edit pane holds for `text`, with the text itself while it
// is handed over: two bytes per UTF-16 character and the cost of each line.
double PaneBytes(std::string_view text) {
  std::size_t units = 0;
  std::size_t lines = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
    if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++lines;
  }
  return static_cast<double>(text.size()) + 2.0 * static_cast<double>(units) +
         kPaneBytesPerLine * static_cast<double>(lines);
}

// Appends `text` to `pane` piece by piece, calling `shown` with the bytes
// placed so far and letting the window repaint after each piece. A piece
// never ends inside a character or between the CR and LF of a line break.
// False when `going_on` stopped it.
template <typename Shown, typename GoingOn>
bool AppendInPieces(QPlainTextEdit& pane, std::string_view text, Shown shown, GoingOn going_on) {
  QTextDocument* document = pane.document();
  const bool undo = document->isUndoRedoEnabled();
  document->setUndoRedoEnabled(false);  // like a text set at once: nothing to undo
  QTextCursor cursor(document);
  cursor.movePosition(QTextCursor::End);
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = std::min(start + kPieceBytes, text.size());
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    if (end < text.size() && text[end - 1] == '\r' && text[end] == '\n') ++end;
    cursor.insertText(
        ToPaneLines(QString::fromUtf8(text.data() + start, static_cast<qsizetype>(end - start))));
    start = end;
    shown(start);
    // 停止 and Esc are heard here; the items that would change the panes
    // are disabled meanwhile.
    QCoreApplication::processEvents();
    if (!going_on()) break;
  }
  document->setUndoRedoEnabled(undo);
  return going_on();
}

QString ShownPath(const QString& path) {
  return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

}  // namespace

void DocumentFiles::Inform(std::string_view text) {
  MessageRequest request;
  request.text = text;
  host_.dialogs().Message(request);
}

void DocumentFiles::New() {
  host_.EditPane().clear();
  host_.ResultPaneWidget().clear();
  host_.SetStatus(FromView(kStatusNew));
}

void DocumentFiles::Open() {
  const std::optional<QString> name = host_.picker().OpenFileName(open_dialog_name_);
  if (!name) {
    Inform(kOpenCancelledText);
    open_dialog_name_.clear();
    return;
  }
  open_dialog_name_ = *name;
  QFile file(*name);
  // Only a regular file has a length to ask about and an end to read to;
  // opening a pipe would wait for a writer that may never come.
  if (!QFileInfo(*name).isFile() || !file.open(QIODevice::ReadOnly)) {
    Inform(kOpenFailedText);
    open_dialog_name_.clear();
    return;
  }
  const qint64 size = file.size();
  const OpenStep step = RunAnswering(host_.dialogs(), [size](Boxes& boxes) {
    return StepForSize(boxes, static_cast<std::uint64_t>(size), kWindowLargestFileBytes);
  });
  switch (step) {
    case OpenStep::kStop:
      return;
    case OpenStep::kEmpty:
      host_.EditPane().clear();
      host_.ResultPaneWidget().clear();
      RunAnswering(host_.dialogs(), [](Boxes& boxes) { return TellEmptyFile(boxes); });
      return;
    case OpenStep::kRead:
      break;
  }

  // The bar's first half follows the reading, its second half the text
  // going into the edit pane, which takes longer. Opening is a busy state of
  // its own: 停止 leaves both panes as they were while the file is read, and
  // empty once the text has begun to go in (never half a file that looks
  // whole).
  bool stopped = false;
  host_.BeginBusy([&stopped] { stopped = true; });
  const auto going_on = [&stopped] { return !stopped; };
  const auto end_busy = [this] {
    host_.SetProgress(0);
    host_.HideProgress();
    host_.EndBusy();
  };
  host_.ShowProgress(size);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(size));
  bool failed = false;
  while (!file.atEnd() && bytes.size() <= kWindowLargestFileBytes) {
    const QByteArray chunk = file.read(kReadChunkBytes);
    if (chunk.isEmpty()) {
      failed = file.error() != QFileDevice::NoError;
      break;
    }
    bytes.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
    host_.SetProgress(static_cast<qint64>(std::min<std::size_t>(bytes.size(), size) / 2));
    QCoreApplication::processEvents();
    if (stopped) break;
  }
  file.close();
  if (stopped) {
    end_busy();
    host_.SetStatus(FromView(kStatusOpenStopped));
    return;
  }
  const std::string text = DecodeText(std::move(bytes));
  // The edit pane's own cost counts too.
  const bool fits = text.size() <= kWindowLargestFileBytes && PaneBytes(text) <= kMemoryBudgetBytes;
  if (!fits) {
    end_busy();
    RunAnswering(host_.dialogs(), [](Boxes& boxes) { return TellTooLarge(boxes); });
    return;
  }
  host_.EditPane().clear();
  host_.ResultPaneWidget().clear();
  const bool whole = AppendInPieces(
      host_.EditPane(), text,
      [&](std::size_t shown) {
        host_.SetProgress(size / 2 + static_cast<qint64>(static_cast<double>(size / 2) *
                                                         static_cast<double>(shown) /
                                                         static_cast<double>(text.size())));
      },
      going_on);
  end_busy();
  if (!whole) {
    host_.EditPane().clear();
    host_.SetStatus(FromView(kStatusOpenStopped));
    return;
  }
  if (failed) {
    // What was read stays in the edit pane.
    Inform(kOpenFailedText);
    open_dialog_name_.clear();
    return;
  }
  save_path_.clear();
  host_.SetStatus(ShownPath(*name));
}

void DocumentFiles::OpenExample(const Example& example) {
  const QString path = FindProgramFile(FromView(ExamplePath(example)));
  QFile file(path);
  // The examples are a few lines each; one beyond the question's size is not
  // one of them.
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly) ||
      file.size() > static_cast<qint64>(kAskBeforeOpeningBytes)) {
    Inform(kOpenFailedText);
    return;
  }
  const QByteArray bytes = file.readAll();
  const std::string text = DecodeText(std::string(bytes.constData(), bytes.size()));
  // A long text is neither blank nor an example's: it is asked about without
  // being copied out of the pane to compare.
  const bool may_replace =
      host_.EditPane().document()->characterCount() > static_cast<int>(kAskBeforeOpeningBytes)
          ? host_.dialogs().Message(ReplaceEditTextQuestion()) == Reply::kYes
          : RunAnswering(host_.dialogs(), [&](Boxes& boxes) {
              return MayReplaceEditText(boxes, PaneText(host_.EditPane()), {text, example_text_});
            });
  if (!may_replace) return;
  SetPaneText(host_.EditPane(), text);
  example_text_ = text;
  // The trace belongs to the matrix that was there before.
  host_.ResultPaneWidget().clear();
  save_path_.clear();
  host_.SetStatus(ShownPath(path));
}

void DocumentFiles::WriteResult(const QString& path, std::function<void()> failed) {
  const QTextDocument& document = *host_.ResultPaneWidget().document();
  auto* writer = new DocumentWriter(document, path, &host_.ResultPaneWidget());
  if (chunk_write_) writer->SetChunkWrite(chunk_write_);
  writer_ = writer;
  QObject::connect(
      writer, &DocumentWriter::finished, writer,
      [this, writer, path, failed = std::move(failed)](bool written, const QString& reason) {
        writer->deleteLater();
        writer_ = nullptr;
        const bool long_text = writer->total() > kWriteNowCharacters;
        if (long_text) {
          host_.SetProgress(0);
          host_.HideProgress();
          host_.EndBusy();
        }
        if (written) {
          host_.SetStatus(ShownPath(path));
          return;
        }
        // A stopped save asks nothing: the file is as it was.
        if (reason.isNull()) host_.SetStatus(FromView(kStatusSaveStopped));
        if (!reason.isNull()) InformSaveFailed(reason);
        failed();
      });
  if (writer->total() <= kWriteNowCharacters) {
    writer->WriteNow();
    return;
  }
  // A long trace: the window goes on with its events, the bar shows the
  // characters written, and 停止 leaves the file as it was.
  host_.BeginBusy([writer] { writer->Stop(); });
  host_.SetStatus(QStringLiteral("正在保存：%1……（按 Esc 停止）").arg(ShownPath(path)));
  host_.ShowProgress(writer->total());
  QObject::connect(writer, &DocumentWriter::progress, writer,
                   [this](qint64 done, qint64) { host_.SetProgress(done); });
  writer->Start();
}

void DocumentFiles::InformSaveFailed(const QString& reason) {
  MessageRequest request;
  request.text = kSaveFailedText;
  if (!reason.isEmpty()) request.text += "\r\n" + reason.toStdString();
  host_.dialogs().Message(request);
}

void DocumentFiles::Save() {
  if (host_.ResultPaneWidget().document()->isEmpty()) {
    Inform(kSaveEmptyText);
    return;
  }
  if (save_dialog_name_.isEmpty() || save_path_.isEmpty()) {
    const std::optional<QString> name = host_.picker().SaveFileName(save_dialog_name_);
    if (!name) {
      Inform(kSaveCancelledText);
      save_dialog_name_.clear();
      return;
    }
    save_dialog_name_ = *name;
  }
  save_path_ = save_dialog_name_;
  if (save_path_.isEmpty()) {
    Inform("你没有存盘,数据没有被保存下来#");
    return;
  }
  WriteResult(save_path_, [this] { save_dialog_name_.clear(); });
}

void DocumentFiles::SaveAs() {
  open_dialog_name_.clear();
  const std::optional<QString> name = host_.picker().SaveFileName(open_dialog_name_);
  if (!name) {
    Inform(kSaveAsCancelledText);
    return;
  }
  open_dialog_name_ = *name;
  WriteResult(*name, [this] { open_dialog_name_.clear(); });
}

}  // namespace matcalc::workbench
