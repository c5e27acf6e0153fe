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
  // Work between two calls of the sink, in nanoseconds on the development
  // machine: reports come every tenth of a millisecond or so.
  static constexpr double kPollWork = 1e5;

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

// Work of one kind counted on `progress` in the units of the estimates
// (nanoseconds on the development machine): each unit of it costs `unit_ns`,
// as the budgets' unit costs say (kProductNs for a multiply-add of the
// product, kTextByteNs for a byte of text read, ...).
class UnitMeter final : public WorkMeter {
 public:
  UnitMeter(Progress& progress, double unit_ns) : progress_(progress), unit_ns_(unit_ns) {}
  void Advance(double units) override { progress_.Advance(units * unit_ns_); }

 private:
  Progress& progress_;
  double unit_ns_;
};

}  // namespace matcalc
