#include "workbench/command_run.h"

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
          run_.trace_.Show(run_.pane_);
          return run_.boxes_.Input(request);
        });
  }

  Reply Message(const MessageRequest& request) override {
    return run_.OnWindowThread<Reply>([this, &request] {
      if (run_.stopping()) return request.buttons == Buttons::kOk ? Reply::kOk : Reply::kNo;
      run_.trace_.Show(run_.pane_);
      return run_.boxes_.Message(request);
    });
  }

 private:
  CommandRun& run_;
};

CommandRun::CommandRun(const Command& command, std::string text1, int digits, Dialogs& boxes,
                       QPlainTextEdit& text2, QObject* parent)
    : QObject(parent),
      command_(command),
      text1_(std::move(text1)),
      digits_(digits),
      boxes_(boxes),
      trace_(text2),
      worker_dialogs_(std::make_unique<WorkerDialogs>(*this)) {}

CommandRun::~CommandRun() {
  if (thread_ == nullptr) return;
  Stop();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    abandoned_ = true;
  }
  answered_.notify_all();
  thread_->wait();
  delete thread_;
}

void CommandRun::Start() {
  thread_ = QThread::create([this] {
    outcome_ = RunCommand(command_, *worker_dialogs_, text1_, pane_, digits_, this);
  });
  connect(thread_, &QThread::finished, this, &CommandRun::Finished);
  thread_->start();
}

void CommandRun::Stop() { stop_.store(true, std::memory_order_relaxed); }

void CommandRun::Report(double fraction) {
  done_.store(static_cast<int>(fraction * 10000), std::memory_order_relaxed);
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
  if (outcome_ == Outcome::kRan && pane_.changed()) {
    trace_.Keep(pane_);
  } else {
    trace_.Restore();
  }
  // The trace now lives in the pane alone.
  pane_ = ResultPane();
  emit ended(outcome_);
}

}  // namespace matcalc::workbench
