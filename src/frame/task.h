// Task<T>: a coroutine that computes a T and may suspend on the way, at the
// boxes it asks (frame/boxes.h). A task starts only when awaited (or when a
// driver resumes it); an exception thrown inside comes out at the co_await.
// Awaiting one task from another hands control to it and back through one
// loop (Drive), never by a nested call: the stack does not grow with the
// number of awaits, also where the compiler cannot turn a transfer into a
// tail call (WebAssembly without its tail-call feature, unoptimised and
// sanitizer builds). A task owns its coroutine frame: destroying a
// suspended task destroys that frame and so every task it awaits, unwinding
// their locals as if each had returned.
//
// Inside a task, build a request (or any aggregate with strings) as a named
// local before the co_await that takes it: g++ 12 copies an aggregate
// initialised in the co_await's own expression bit for bit and then frees
// its strings twice. Results of function calls and std::string temporaries
// are safe. And never co_await inside a condition (of if, switch, while,
// or on the right of && or ||): g++ 12 miscompiles some of these, running
// the await before the statements above it or when the left side of &&
// decides. Await into a named local, then test it.
#pragma once

#include <exception>
#include <optional>
#include <utility>

// The WebAssembly build's C++ library still has coroutines under
// std::experimental; its compiler finds them there.
#if __has_include(<coroutine>)
#include <coroutine>
namespace matcalc::coro {
using std::coroutine_handle;
using std::suspend_always;
}  // namespace matcalc::coro
#else
#include <experimental/coroutine>
namespace matcalc::coro {
using std::experimental::coroutine_handle;
using std::experimental::suspend_always;
}  // namespace matcalc::coro
#endif

namespace matcalc {

template <typename T>
class Task;

namespace task_detail {

// The coroutine the running Drive loop resumes next (none: the loop ends).
inline thread_local coro::coroutine_handle<> next_to_resume;

}  // namespace task_detail

// Resumes `first` and then every coroutine it hands control to, until one
// suspends without handing it on (at a box) or the outermost task ends.
inline void Drive(coro::coroutine_handle<> first) {
  coro::coroutine_handle<>& next = task_detail::next_to_resume;
  const coro::coroutine_handle<> outer = std::exchange(next, first);
  while (next) std::exchange(next, nullptr).resume();
  next = outer;
}

namespace task_detail {

// What every task's promise holds beside its result: who awaits it and what
// it threw.
struct PromiseBase {
  coro::coroutine_handle<> continuation;
  std::exception_ptr error;

  coro::suspend_always initial_suspend() noexcept { return {}; }
  // Ending hands control to the awaiting task, or back to the driver that
  // resumed the outermost one.
  struct FinalAwaiter {
    bool await_ready() noexcept { return false; }
    template <typename Promise>
    void await_suspend(coro::coroutine_handle<Promise> self) noexcept {
      next_to_resume = self.promise().continuation;
    }
    void await_resume() noexcept {}
  };
  FinalAwaiter final_suspend() noexcept { return {}; }
  void unhandled_exception() noexcept { error = std::current_exception(); }
  void RethrowIfFailed() {
    if (error) std::rethrow_exception(std::exchange(error, nullptr));
  }
};

template <typename T>
struct Promise : PromiseBase {
  std::optional<T> value;
  Task<T> get_return_object() noexcept;
  template <typename U>
  void return_value(U&& result) {
    value.emplace(std::forward<U>(result));
  }
  T Take() {
    RethrowIfFailed();
    return std::move(*value);
  }
};

template <>
struct Promise<void> : PromiseBase {
  Task<void> get_return_object() noexcept;
  void return_void() noexcept {}
  void Take() { RethrowIfFailed(); }
};

}  // namespace task_detail

template <typename T = void>
class [[nodiscard]] Task {
 public:
  using promise_type = task_detail::Promise<T>;
  using Handle = coro::coroutine_handle<promise_type>;

  Task() = default;
  explicit Task(Handle handle) noexcept : handle_(handle) {}
  Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Task& operator=(Task&& other) noexcept {
    if (this != &other) {
      Destroy();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;
  ~Task() { Destroy(); }

  explicit operator bool() const { return static_cast<bool>(handle_); }

  // Awaited from another task: runs this one until it ends, then resumes
  // the awaiting task with its result (or its exception).
  bool await_ready() const noexcept { return false; }
  void await_suspend(coro::coroutine_handle<> awaiting) noexcept {
    handle_.promise().continuation = awaiting;
    task_detail::next_to_resume = handle_;
  }
  T await_resume() { return handle_.promise().Take(); }

  // For a driver of an outermost task: runs it from where it stands until it
  // suspends or ends.
  void Resume() { Drive(handle_); }
  bool done() const { return handle_.done(); }
  // Once done: the result, or what the task threw.
  T Result() { return handle_.promise().Take(); }

 private:
  void Destroy() noexcept {
    if (handle_) std::exchange(handle_, nullptr).destroy();
  }

  Handle handle_;
};

namespace task_detail {

template <typename T>
Task<T> Promise<T>::get_return_object() noexcept {
  return Task<T>(coro::coroutine_handle<Promise<T>>::from_promise(*this));
}

inline Task<void> Promise<void>::get_return_object() noexcept {
  return Task<void>(coro::coroutine_handle<Promise<void>>::from_promise(*this));
}

}  // namespace task_detail

}  // namespace matcalc
