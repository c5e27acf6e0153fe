#include "workbench/command_run.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <optional>

namespace matcalc::workbench {

CommandRun::CommandRun(const Command& command, std::string text1, int digits,
                       const FrontEndCosts& costs, Dialogs& boxes, QPlainTextEdit& text2,
                       QObject* parent)
    : QObject(parent),
      command_(command),
      text1_(std::move(text1)),
      digits_(digits),
      costs_(costs),
      boxes_(boxes),
      trace_(text2) {
  pump_.setInterval(kPumpMs / 2);
  connect(&pump_, &QTimer::timeout, this, [this] { Pump(kPumpMs); });
}

CommandRun::~CommandRun() {
  if (thread_ == nullptr) return;
  Stop();
  thread_->wait();
  delete thread_;
}

void CommandRun::Start() {
  ProgressSink* const sink = this;
  run_ = std::make_unique<RunningCommand>(command_, text1_, pane_, digits_, costs_, sink, series_,
                                          exact_);
  pump_.start();
  Step([this] { run_->Start(); });
}

void CommandRun::Step(std::function<void()> step) {
  thread_ = QThread::create(std::move(step));
  connect(thread_, &QThread::finished, this, &CommandRun::Settled);
  thread_->start();
}

void CommandRun::Settled() {
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  if (!run_->done() && !stopping()) {
    const QPointer<CommandRun> alive(this);
    std::function<void()> answer = AskBox();
    // The window went away while the box was up.
    if (!alive) return;
    if (!stopping()) {
      Step(std::move(answer));
      return;
    }
  }
  // A command stopped at its box ends there, without going on.
  run_->Stop();
  Finished();
}

std::function<void()> CommandRun::AskBox() {
  TakeAll();
  trace_.Show();
  const Box& box = run_->pending();
  if (box.is_input) {
    return [this, text = boxes_.Input(box.input)]() mutable { run_->Answer(std::move(text)); };
  }
  return [this, reply = boxes_.Message(box.message)] { run_->Answer(reply); };
}

void CommandRun::Stop() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_.store(true, std::memory_order_relaxed);
  }
  taken_.notify_all();
}

void CommandRun::Report(double fraction) {
  done_.store(static_cast<int>(fraction * 10000), std::memory_order_relaxed);
  if (pane_.text().size() >= kHandOverBytes) HandOver();
}

void CommandRun::HandOver() {
  Piece piece{pane_.clears(), pane_.TakeText()};
  std::unique_lock<std::mutex> lock(mutex_);
  // A window's thread that cannot keep up holds the command back rather than
  // let the waiting pieces grow.
  taken_.wait(lock, [this] { return waiting_bytes_ < kWaitingLimitBytes || stopping(); });
  waiting_bytes_ += piece.bytes.size();
  pieces_.push_back(std::move(piece));
}

void CommandRun::Pump(int ms, bool write) {
  QElapsedTimer clock;
  clock.start();
  while (ms < 0 || clock.elapsed() < ms) {
    Piece piece;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (pieces_.empty()) return;
      piece = std::move(pieces_.front());
      pieces_.pop_front();
      waiting_bytes_ -= piece.bytes.size();
    }
    taken_.notify_all();
    if (write) trace_.Write(piece.bytes, piece.clears);
  }
}

void CommandRun::TakeAll() {
  Pump(-1);
  if (pane_.changed()) trace_.Write(pane_.TakeText(), pane_.clears());
}

void CommandRun::Finished() {
  pump_.stop();
  if (run_->outcome() == Outcome::kRan) {
    TakeAll();
    trace_.Keep();
  } else {
    // A stopped command's trace is thrown away.
    Pump(-1, false);
    trace_.Restore();
  }
  emit ended(run_->outcome());
}

}  // namespace matcalc::workbench
