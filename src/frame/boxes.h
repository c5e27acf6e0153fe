// Boxes a task waits at. A task asks with `co_await boxes.Input(request)` (or
// Message) and is suspended right there, the box recorded as pending; the
// front end that drives the task shows the box however it shows boxes (a
// dialog on the window's thread, an answer from the runner's queue, a box on
// the page) and resumes the task with the answer, which runs on to its next
// box or its end. Nothing is computed twice: the task keeps its state while
// it waits, for as long as the front end keeps it.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "frame/dialogs.h"
#include "frame/task.h"

namespace matcalc {

// The box a suspended task waits at.
struct Box {
  bool is_input = false;
  InputRequest input;      // when is_input
  MessageRequest message;  // otherwise
};

class Boxes {
 public:
  Boxes() = default;
  Boxes(const Boxes&) = delete;
  Boxes& operator=(const Boxes&) = delete;

  // co_await: the text typed and confirmed, or nothing when cancelled.
  // The request is recorded here, not in the awaiter: an awaiter is only a
  // reference, which every compiler moves about safely.
  auto Input(InputRequest request) {
    pending_ = Box{true, std::move(request), {}};
    return InputWait{*this};
  }
  // co_await: the button chosen.
  auto Message(MessageRequest request) {
    pending_ = Box{false, {}, std::move(request)};
    return MessageWait{*this};
  }

  // The driver's side. Whether a task waits here, and at which box.
  bool waiting() const { return static_cast<bool>(waiter_); }
  const Box& pending() const { return pending_; }
  // Resumes the waiting task with the answer to its input box (or its
  // message box); it returns once the task waits again or has ended.
  void Answer(std::optional<std::string> text) {
    text_ = std::move(text);
    Resume();
  }
  void Answer(Reply reply) {
    reply_ = reply;
    Resume();
  }
  // Shows the pending box through `dialogs` and resumes with its answer.
  void AnswerFrom(Dialogs& dialogs) {
    if (pending_.is_input) {
      Answer(dialogs.Input(pending_.input));
    } else {
      Answer(dialogs.Message(pending_.message));
    }
  }
  // The waiting task was destroyed without an answer.
  void Forget() { waiter_ = nullptr; }

 private:
  struct InputWait {
    Boxes& boxes;
    bool await_ready() const noexcept { return false; }
    void await_suspend(coro::coroutine_handle<> task) noexcept { boxes.waiter_ = task; }
    std::optional<std::string> await_resume() const { return std::move(boxes.text_); }
  };
  struct MessageWait {
    Boxes& boxes;
    bool await_ready() const noexcept { return false; }
    void await_suspend(coro::coroutine_handle<> task) noexcept { boxes.waiter_ = task; }
    Reply await_resume() const { return boxes.reply_; }
  };

  void Resume() {
    if (waiter_) Drive(std::exchange(waiter_, nullptr));
  }

  Box pending_;
  coro::coroutine_handle<> waiter_;
  std::optional<std::string> text_;
  Reply reply_ = Reply::kOk;
};

// A task driven box by box: started, then answered at each box until it has
// ended. Destroying it (or Abandon) ends a task that still waits at once,
// unwinding it as if the box had never returned.
template <typename T = void>
class Suspended {
 public:
  Suspended() = default;
  Suspended(const Suspended&) = delete;
  Suspended& operator=(const Suspended&) = delete;
  ~Suspended() { Abandon(); }

  // Where the task is to ask its boxes; make the task with it, then Start it.
  Boxes& boxes() { return boxes_; }
  // Runs `task` until its first box or its end.
  void Start(Task<T> task) {
    Abandon();
    task_ = std::move(task);
    task_.Resume();
  }
  bool started() const { return static_cast<bool>(task_); }
  bool done() const { return task_ && task_.done(); }
  // While !done(): the box the task waits at.
  const Box& pending() const { return boxes_.pending(); }
  void Answer(std::optional<std::string> text) { boxes_.Answer(std::move(text)); }
  void Answer(Reply reply) { boxes_.Answer(reply); }
  // Once done: what the task returned, or what it threw.
  T Result() { return task_.Result(); }
  void Abandon() {
    boxes_.Forget();
    task_ = Task<T>();
  }

 private:
  // Declared first so that it outlives the task, whose frames refer to it.
  Boxes boxes_;
  Task<T> task_;
};

// Runs `task`, which asks its boxes at `boxes`, to its end, answering each
// of them from `dialogs` in turn.
template <typename T>
T RunAnswering(Dialogs& dialogs, Boxes& boxes, Task<T> task) {
  task.Resume();
  while (!task.done()) boxes.AnswerFrom(dialogs);
  return task.Result();
}

// Runs the task `make(boxes)` to its end, answering each of its boxes from
// `dialogs` in turn, for front ends that can wait for an answer where they
// stand.
template <typename Make>
auto RunAnswering(Dialogs& dialogs, Make make) {
  using Made = decltype(make(std::declval<Boxes&>()));
  using Result = decltype(std::declval<Made&>().Result());
  Suspended<Result> run;
  run.Start(make(run.boxes()));
  while (!run.done()) run.boxes().AnswerFrom(dialogs);
  return run.Result();
}

}  // namespace matcalc
