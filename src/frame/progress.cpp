#include "frame/progress.h"

#include <algorithm>
#include <limits>

namespace matcalc {

Progress::Progress(ProgressSink* sink)
    : sink_(sink),
      next_poll_(sink != nullptr ? kPollWork : std::numeric_limits<double>::infinity()) {}

void Progress::SetTotal(double work) {
  // A command may estimate once per phase; the fraction is of the largest.
  total_ = std::max(total_, work);
}

void Progress::Poll() {
  if (sink_ == nullptr) return;
  next_poll_ = done_ + kPollWork;
  // An estimate is an upper bound of most runs and may fall short of a few:
  // the fraction stays below 1 until the command has really ended.
  double fraction = total_ > 0 ? std::min(done_ / total_, 0.99) : 0.0;
  fraction = std::max(fraction, reported_);
  reported_ = fraction;
  sink_->Report(fraction);
  if (sink_->StopRequested()) throw CommandStopped{};
}

void Progress::Finish() {
  if (sink_ == nullptr) return;
  reported_ = 1;
  sink_->Report(1);
}

}  // namespace matcalc
