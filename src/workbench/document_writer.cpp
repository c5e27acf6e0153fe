#include "workbench/document_writer.h"

#include <QElapsedTimer>
#include <QSaveFile>
#include <QTextDocument>

namespace matcalc::workbench {
namespace {

// About this many bytes go to the writing thread at a time, and at most
// kMostChunks wait there: the bytes in flight stay a few megabytes whatever
// the trace's length.
constexpr qsizetype kChunkBytes = 1 << 20;
constexpr std::size_t kMostChunks = 4;
// The window's thread turns lines into bytes for this long between events.
constexpr int kSliceMs = 15;

// One block's text as the file holds it: the separators a pasted text may
// hold inside a block are line breaks too.
void AppendBlock(QByteArray& out, const QString& text) {
  qsizetype from = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == QLatin1Char('\n')) {
      out += QStringView(text).mid(from, i - from).toUtf8();
      out += "\r\n";
      from = i + 1;
    }
  }
  out += QStringView(text).mid(from).toUtf8();
}

}  // namespace

DocumentWriter::DocumentWriter(const QTextDocument& document, QString path, QObject* parent)
    : QObject(parent),
      document_(&document),
      path_(std::move(path)),
      write_([](QFileDevice& file, const QByteArray& bytes) { return file.write(bytes); }) {
  total_ = document.characterCount();
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (!Produce(kSliceMs)) timer_.stop();
  });
}

DocumentWriter::~DocumentWriter() {
  Stop();
  if (thread_.joinable()) thread_.join();
}

void DocumentWriter::Start() {
  if (started_) return;
  started_ = true;
  block_ = document_->begin();
  thread_ = std::thread([this] { WriteFile(); });
  timer_.start();
}

void DocumentWriter::WriteNow() {
  Start();
  timer_.stop();
  while (Produce(1000)) {
  }
  thread_.join();
  Finish();
}

void DocumentWriter::Stop() {
  timer_.stop();
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
}

bool DocumentWriter::Produce(int budget_ms) {
  {
    const std::lock_guard lock(mutex_);
    if (stop_ || thread_done_) return false;
    // The disk is behind: the window goes on with its events meanwhile.
    if (chunks_.size() >= kMostChunks) return true;
  }
  if (document_ == nullptr) {
    Stop();
    return false;
  }
  QElapsedTimer clock;
  clock.start();
  QByteArray bytes;
  bytes.reserve(kChunkBytes + kChunkBytes / 4);
  while (block_.isValid()) {
    const QString text = block_.text();
    AppendBlock(bytes, text);
    done_ += text.size() + 1;
    block_ = block_.next();
    if (block_.isValid()) bytes += "\r\n";
    if (bytes.size() >= kChunkBytes) {
      Hand(std::move(bytes), false);
      bytes = QByteArray();
      bytes.reserve(kChunkBytes + kChunkBytes / 4);
      emit progress(done_, total_);
      const std::lock_guard lock(mutex_);
      if (clock.elapsed() >= budget_ms || chunks_.size() >= kMostChunks) return true;
    }
  }
  Hand(std::move(bytes), true);
  emit progress(total_, total_);
  return false;
}

void DocumentWriter::Hand(QByteArray bytes, bool last) {
  {
    const std::lock_guard lock(mutex_);
    chunks_.push_back(std::move(bytes));
    last_handed_ = last;
  }
  changed_.notify_all();
}

void DocumentWriter::WriteFile() {
  QSaveFile file(path_);
  QString reason;
  bool written = false;
  bool stopped = false;
  if (!file.open(QIODevice::WriteOnly)) {
    reason = file.errorString();
  } else {
    for (;;) {
      QByteArray bytes;
      bool last = false;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || !chunks_.empty(); });
        if (stop_) {
          stopped = true;
          break;
        }
        bytes = std::move(chunks_.front());
        chunks_.pop_front();
        last = last_handed_ && chunks_.empty();
      }
      if (!bytes.isEmpty() && write_(file, bytes) != bytes.size()) {
        reason = file.errorString();
        break;
      }
      if (last) {
        // Flushed to the disk and renamed over the target, or not at all.
        written = file.commit();
        if (!written) reason = file.errorString();
        break;
      }
    }
    if (!written) file.cancelWriting();
  }
  {
    const std::lock_guard lock(mutex_);
    thread_done_ = true;
    written_ = written;
    reason_ = stopped ? QString() : reason;
    chunks_.clear();
  }
  QMetaObject::invokeMethod(
      this, [this] { Finish(); }, Qt::QueuedConnection);
}

void DocumentWriter::Finish() {
  if (ended_) return;
  {
    const std::lock_guard lock(mutex_);
    if (!thread_done_) return;
  }
  if (thread_.joinable()) thread_.join();
  ended_ = true;
  timer_.stop();
  emit finished(written_, reason_);
}

}  // namespace matcalc::workbench
