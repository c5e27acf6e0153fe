// A progress sink for the tests of stopping: records the fractions reported
// and asks to stop once `stop_after` reports have come (never when 0).
#pragma once

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

}  // namespace matcalc::testing
