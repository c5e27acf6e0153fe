// Writes a text document to a file as the runner would print it (UTF-8, CR LF
// line breaks), a block at a time: the window's thread turns a few lines
// into bytes between its events, a thread of the writer's own puts them in
// the file. The file is a temporary one beside the target, renamed over it
// only once complete and flushed to the disk, so that a stop, a full disk or
// a crash leaves the target as it was and no temporary file behind.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextBlock>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class QFileDevice;
class QTextDocument;

namespace matcalc::workbench {

// Puts `bytes` in `file`; the bytes written, or -1 (the file says why). The
// tests stand in for the disk with one that fills up.
using ChunkWrite = std::function<qint64(QFileDevice& file, const QByteArray& bytes)>;

class DocumentWriter : public QObject {
  Q_OBJECT
 public:
  DocumentWriter(const QTextDocument& document, QString path, QObject* parent = nullptr);
  // A writer still writing is stopped: the target stays as it was.
  ~DocumentWriter() override;

  void SetChunkWrite(ChunkWrite write) { write_ = std::move(write); }
  // Starts writing; `finished` follows, whatever happens.
  void Start();
  // Writes the whole text before returning (a short text: no events wait).
  void WriteNow();
  // Stops the writing; the target is left alone.
  void Stop();

  qint64 total() const { return total_; }

 signals:
  // Characters of the document turned into bytes so far, of `total`.
  void progress(qint64 done, qint64 total);
  // Written whole and renamed over the target; else the system's reason, or
  // an empty reason when it was stopped.
  void finished(bool written, const QString& reason);

 private:
  // Turns blocks into bytes for about `budget_ms` and hands them over; true
  // while text is left.
  bool Produce(int budget_ms);
  void Hand(QByteArray bytes, bool last);
  void WriteFile();  // the writing thread
  void Finish();

  QPointer<const QTextDocument> document_;
  QString path_;
  ChunkWrite write_;
  QTimer timer_;
  QTextBlock block_;
  qint64 done_ = 0;
  qint64 total_ = 0;
  bool started_ = false;
  bool ended_ = false;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<QByteArray> chunks_;  // at most kMostChunks waiting
  bool last_handed_ = false;
  bool stop_ = false;
  bool thread_done_ = false;
  bool written_ = false;
  QString reason_;
  std::thread thread_;
};

}  // namespace matcalc::workbench
