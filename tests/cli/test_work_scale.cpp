// Work budgets that know the device: the estimated work is weighed scaled by
// how much slower the device computes than the development machine, so a
// slower device is refused the orders it could not finish in time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "cli/runner.h"
#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "frame/calibration.h"

namespace matcalc {
namespace {

// Stops a command as soon as it has done some work, so that an accepted
// order ends at once instead of computing.
class StopAtOnce final : public ProgressSink {
 public:
  void Report(double fraction) override { working_ = working_ || fraction > 0; }
  bool StopRequested() override { return working_; }

 private:
  bool working_ = false;
};

// Whether `method` accepts `order` on a device `scale` times slower.
bool Accepted(std::string_view method, int order, double scale) {
  ScriptedDialogs dialogs({std::to_string(order)}, {});
  TraceBuffer pane;
  FrontEndCosts costs = kRunnerCosts;
  costs.work_scale = scale;
  StopAtOnce stop;
  RunCommand(*FindCommand(method), dialogs, "1", pane, kDefaultDigits, costs, &stop);
  return dialogs.Log().find(kOrderTooLargeText) == std::string::npos;
}

int LargestOrder(std::string_view method, double scale) {
  int low = 1;       // accepted
  int high = 32768;  // refused (beyond any order)
  while (high - low > 1) {
    const int middle = low + (high - low) / 2;
    (Accepted(method, middle, scale) ? low : high) = middle;
  }
  return low;
}

// The inverse takes n^3 work: on a device four times slower the largest
// order shrinks by the cube root of 4.
TEST(WorkScale, ASlowerDeviceIsRefusedTheOrdersItCouldNotFinish) {
  const int fast = LargestOrder("inverse", 1);
  const int slow = LargestOrder("inverse", 4);
  EXPECT_FALSE(Accepted("inverse", fast, 4));
  EXPECT_TRUE(Accepted("inverse", slow, 4));
  const double ratio = static_cast<double>(fast) / slow;
  EXPECT_GT(ratio, 1.5) << fast << " " << slow;
  EXPECT_LT(ratio, 1.65) << fast << " " << slow;
  // A device faster than the development machine is refused less.
  EXPECT_GT(LargestOrder("inverse", 0.5), fast);
}

// The runner takes its scale from the environment when it is given there.
TEST(WorkScale, TheRunnerTakesTheScaleFromTheEnvironment) {
  auto refused = [](double scale, int order) {
    std::istringstream in("1");
    std::ostringstream out;
    std::ostringstream err;
    const CliStreams streams{[&in](std::size_t limit) { return ReadStream(in, limit); },
                             [&out](std::string_view bytes) {
                               out << bytes;
                               return std::string();
                             },
                             err,
                             kLargestTextBytes,
                             nullptr,
                             [scale] { return scale; }};
    RunCli({"--answer", std::to_string(order), "inverse"}, streams);
    return err.str().find(kOrderTooLargeText) != std::string::npos;
  };
  EXPECT_TRUE(refused(4, LargestOrder("inverse", 1)));
  EXPECT_FALSE(refused(4, 2));

  ::setenv("MATCALC_WORK_SCALE", "4", 1);
  EXPECT_EQ(RunnerWorkScale(), 4);
  ::setenv("MATCALC_WORK_SCALE", "fast", 1);
  const double measured = RunnerWorkScale();
  EXPECT_GE(measured, kSmallestWorkScale);
  EXPECT_LE(measured, kLargestWorkScale);
  ::unsetenv("MATCALC_WORK_SCALE");
}

TEST(WorkScale, ParsesOnlyAPositiveNumber) {
  EXPECT_EQ(ParseWorkScale("4"), 4.0);
  EXPECT_EQ(ParseWorkScale("0.5"), 0.5);
  for (const std::string_view wrong : {"", "0", "-2", "4x", "inf", "nan", " 4"}) {
    EXPECT_EQ(ParseWorkScale(wrong), std::nullopt) << wrong;
  }
}

}  // namespace
}  // namespace matcalc
