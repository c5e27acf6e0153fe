#include "workbench/command_run.h"

#include <QElapsedTimer>
#include <QThread>
#include <optional>

namespace matcalc::workbench {

// The command's dialogs: each box is shown by the window's thread.
class CommandRun::WorkerDialogs : public Dialogs {
 public:
  explicit WorkerDialogs(CommandRun& run) : run_(run) {}

  std::optional<std::string> Input(const InputRequest& request) override {
    return run_.OnWindowThread<std::optional<std::string>>(
        [this, &request]() -> std::optional<std::string> {
          // A stop asked for before the box came up cancels it unseen.
          if (run_.stopping()) return std::nullopt;
          run_.TakeAll();
          run_.trace_.Show();
          return run_.boxes_.Input(request);
        });
  }

  Reply Message(const MessageRequest& request) override {
    return run_.OnWindowThread<Reply>([this, &request] {
      if (run_.stopping()) return request.buttons == Buttons::kOk ? Reply::kOk : Reply::kNo;
      run_.TakeAll();
      run_.trace_.Show();
      return run_.boxes_.Message(request);
    });
  }

 private:
  CommandRun& run_;
};

CommandRun::CommandRun(const Command& command, std::string text1, int digits,
                       const FrontEndCosts& costs, Dialogs& boxes, QPlainTextEdit& text2,
                       QObject* parent)
    : QObject(parent),
      command_(command),
      text1_(std::move(text1)),
      digits_(digits),
      costs_(costs),
      boxes_(boxes),
      trace_(text2),
      worker_dialogs_(std::make_unique<WorkerDialogs>(*this)) {
  pump_.setInterval(kPumpMs / 2);
  connect(&pump_, &QTimer::timeout, this, [this] { Pump(kPumpMs); });
}

CommandRun::~CommandRun() {
  if (thread_ == nullptr) return;
  Stop();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    abandoned_ = true;
  }
  answered_.notify_all();
  taken_.notify_all();
  thread_->wait();
  delete thread_;
}

void CommandRun::Start() {
  thread_ = QThread::create([this] {
    outcome_ = RunCommand(command_, *worker_dialogs_, text1_, pane_, digits_, costs_, this, series_,
                          exact_);
  });
  connect(thread_, &QThread::finished, this, &CommandRun::Finished);
  pump_.start();
  thread_->start();
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
  taken_.wait(lock,
              [this] { return waiting_bytes_ < kWaitingLimitBytes || stopping() || abandoned_; });
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

template <class Result, class Ask>
Result CommandRun::OnWindowThread(Ask ask) {
  std::optional<Result> result;
  QMetaObject::invokeMethod(
      this,
      [this, &ask, &result] {
        Result answer = ask();
        {
          const std::lock_guard<std::mutex> lock(mutex_);
          result = std::move(answer);
        }
        answered_.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock<std::mutex> lock(mutex_);
  answered_.wait(lock, [this, &result] { return result.has_value() || abandoned_; });
  // The window went away while the box was waiting to be shown.
  if (!result) throw CommandStopped{};
  return std::move(*result);
}

void CommandRun::Finished() {
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  pump_.stop();
  if (outcome_ == Outcome::kRan) {
    TakeAll();
    trace_.Keep();
  } else {
    // A stopped command's trace is thrown away.
    Pump(-1, false);
    trace_.Restore();
  }
  emit ended(outcome_);
}

}  // namespace matcalc::workbench
