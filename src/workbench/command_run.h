// One command of the Solve menu, computed off the window's thread so that the
// window repaints and reacts while it computes. A thread runs the command
// until it waits at a box or ends, and then ends; the box is shown on the
// window's thread, modal, and its answer resumes the command on a new thread.
// No thread waits while a box is up. Before each box the result pane shows
// the trace written so far. The command reports its progress and learns of a
// stop through the frame; it never knows where it runs. The trace is handed
// over to the window's thread every few megabytes as it is written, so that
// it is held once, in the pane's document.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
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
  // `costs`: what the window keeps beside the frame's view, for the budgets.
  CommandRun(const Command& command, std::string text1, int digits, const FrontEndCosts& costs,
             Dialogs& boxes, QPlainTextEdit& text2, QObject* parent = nullptr);
  // A command still running is stopped and waited for; the pane keeps what
  // it shows.
  ~CommandRun() override;

  // Where the command records what converges (before Start; it is written
  // on the command's thread until ended).
  void SetSeries(ConvergenceLog* series) { series_ = series; }
  // The exact-fractions setting the command runs with (before Start).
  void SetExact(bool exact) { exact_ = exact; }
  void Start();
  // Asks the command to stop: it ends at its next report of progress, or
  // at once where it waits at a box (when the box is up, as the box closes,
  // without going on).
  void Stop();
  bool stopping() const { return stop_.load(std::memory_order_relaxed); }
  // The fraction of the estimated work done, in ten-thousandths.
  int done_per_10000() const { return done_.load(std::memory_order_relaxed); }
  const Command& command() const { return command_; }

 signals:
  // On the window's thread, once the panes show the outcome.
  void ended(matcalc::Outcome outcome);

 private:
  struct Piece {
    std::uint64_t clears;  // of the pane, when the piece was written
    std::string bytes;
  };

  // Handed over at a time, and the most that may wait for the window's
  // thread before the command waits in turn.
  static constexpr std::size_t kHandOverBytes = 4 << 20;
  static constexpr std::size_t kWaitingLimitBytes = 64 << 20;
  // Time the window's thread spends on the trace before it reacts again.
  static constexpr int kPumpMs = 20;

  // ProgressSink, on the command's thread.
  void Report(double fraction) override;
  bool StopRequested() override { return stopping(); }

  // Runs `step` of the command (its start or an answer) on a thread of its
  // own; Settled follows on the window's thread.
  void Step(std::function<void()> step);
  // The step has ended: the command waits at a box, which is shown and
  // answered, or it has ended.
  void Settled();
  // Shows the box the command waits at; the step that answers it.
  std::function<void()> AskBox();
  void Finished();
  // On the command's thread: what the pane holds goes to the window's.
  void HandOver();
  // On the window's thread: converts waiting pieces for at most `ms`
  // milliseconds (all of them for a negative `ms`); without `write` they are
  // only dropped.
  void Pump(int ms, bool write = true);
  // On the window's thread while the command waits or has ended: all the
  // trace written so far into the document.
  void TakeAll();

  const Command& command_;
  const std::string text1_;
  const int digits_;
  bool exact_ = false;
  const FrontEndCosts costs_;
  ConvergenceLog* series_ = nullptr;
  Dialogs& boxes_;
  TraceBuffer pane_;
  TraceDocument trace_;
  // Touched by one thread at a time: a step's, or the window's between
  // steps. Declared after the pane it writes, so that it goes first.
  std::unique_ptr<RunningCommand> run_;
  QThread* thread_ = nullptr;  // while a step runs

  std::atomic<bool> stop_{false};
  std::atomic<int> done_{0};
  std::mutex mutex_;
  std::deque<Piece> pieces_;       // guarded by mutex_
  std::size_t waiting_bytes_ = 0;  // guarded by mutex_
  std::condition_variable taken_;
  QTimer pump_;
};

}  // namespace matcalc::workbench
