// A progress sink for the tests of stopping: records the fractions reported
// and asks to stop once `stop_after` reports have come (never when 0).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "frame/progress.h"

namespace matcalc::testing {

class StoppingSink : public ProgressSink {
 public:
  explicit StoppingSink(int stop_after) : stop_after_(stop_after) {}
  void Report(double fraction) override { fractions.push_back(fraction); }
  bool StopRequested() override {
    return stop_after_ > 0 && static_cast<int>(fractions.size()) >= stop_after_;
  }
  std::vector<double> fractions;

 private:
  int stop_after_;
};

// Runs `method` on `text` with `answers` to its end, expecting more than
// `least_reports` fractions reported, each at least the one before; then
// again, stopped at its second report, expecting the pane left as it was.
// Gives the whole run's trace.
std::string ExpectProgressAndStop(std::string_view method, std::string_view text,
                                  const std::vector<std::string>& answers, bool exact,
                                  std::size_t least_reports = 3);

}  // namespace matcalc::testing
