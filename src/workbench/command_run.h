// One command of the Solve menu, run off the window's thread so that the
// window repaints and reacts while it computes. The boxes the command asks
// for are shown on the window's thread, modal and in order, while the command
// waits for the answer; before each box the result pane shows the trace
// written so far. The command reports its progress and learns of a stop
// through the frame; it never knows it runs on a thread of its own.
#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "commands/registry.h"
#include "workbench/trace_document.h"

class QPlainTextEdit;
class QThread;

namespace matcalc::workbench {

class CommandRun : public QObject, private ProgressSink {
  Q_OBJECT
 public:
  // `boxes` shows the command's boxes on the window's thread; `text2` is the
  // result pane, which keeps what it shows until the command has written.
  CommandRun(const Command& command, std::string text1, int digits, Dialogs& boxes,
             QPlainTextEdit& text2, QObject* parent = nullptr);
  // A command still running is stopped and waited for; the pane keeps what
  // it shows.
  ~CommandRun() override;

  void Start();
  // Asks the command to stop; it ends at its next report of progress (or
  // when the box it waits for is answered, which a stop also cancels).
  void Stop();
  bool stopping() const { return stop_.load(std::memory_order_relaxed); }
  // The fraction of the estimated work done, in ten-thousandths.
  int done_per_10000() const { return done_.load(std::memory_order_relaxed); }
  const Command& command() const { return command_; }

 signals:
  // On the window's thread, once the panes show the outcome.
  void ended(matcalc::Outcome outcome);

 private:
  class WorkerDialogs;

  // ProgressSink, on the command's thread.
  void Report(double fraction) override;
  bool StopRequested() override { return stopping(); }

  // Runs `ask` on the window's thread and waits for it. When the window goes
  // away first, the command is stopped.
  template <class Result, class Ask>
  Result OnWindowThread(Ask ask);
  void Finished();

  const Command& command_;
  const std::string text1_;
  const int digits_;
  Dialogs& boxes_;
  ResultPane pane_;
  TraceDocument trace_;
  std::unique_ptr<WorkerDialogs> worker_dialogs_;
  QThread* thread_ = nullptr;
  Outcome outcome_ = Outcome::kRan;

  std::atomic<bool> stop_{false};
  std::atomic<int> done_{0};
  std::mutex mutex_;
  std::condition_variable answered_;
  bool abandoned_ = false;  // guarded by mutex_: the window is going
};

}  // namespace matcalc::workbench
