// How far a command has got, and whether the user asked it to stop. The
// command counts its work against the estimate it gave the budgets; every so
// often the front end's sink is told the fraction done and asked whether to
// stop. A stop unwinds the command with CommandStopped, which the registry
// catches: the command then ends like a cancelled prompt. Nothing here knows
// which thread runs the command.
#pragma once

#include "linalg/work_meter.h"

namespace matcalc {

// Thrown out of a command the user asked to stop.
struct CommandStopped {};

// The front end's side, called on the thread that runs the command.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // The fraction of the estimated work done, 0 to 1, never decreasing.
  virtual void Report(double fraction) = 0;
  virtual bool StopRequested() = 0;
};

class Progress final : public WorkMeter {
 public:
  // Work between two calls of the sink: well under a millisecond of work on
  // any machine the budgets allow, so reports come often enough however
  // the work is counted.
  static constexpr double kPollWork = 1 << 16;

  explicit Progress(ProgressSink* sink = nullptr);

  // The work the whole command is expected to take (its estimate).
  void SetTotal(double work);
  void Advance(double work) override {
    done_ += work;
    if (done_ >= next_poll_) Poll();
  }
  // Reports the fraction done and throws CommandStopped when the user asked
  // to stop.
  void Poll();
  // The command has run to its end: reports 1.
  void Finish();

 private:
  ProgressSink* sink_;
  double total_ = 0;
  double done_ = 0;
  double next_poll_;
  double reported_ = 0;
};

}  // namespace matcalc
