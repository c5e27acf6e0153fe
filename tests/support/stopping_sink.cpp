#include "support/stopping_sink.h"

#include <gtest/gtest.h>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "frame/trace_buffer.h"

namespace matcalc::testing {

std::string ExpectProgressAndStop(std::string_view method, std::string_view text,
                                  const std::vector<std::string>& answers, bool exact,
                                  std::size_t least_reports) {
  const Command& command = *FindCommand(method);
  StoppingSink counting(0);
  ScriptedDialogs dialogs(answers, {});
  TraceBuffer pane;
  EXPECT_EQ(RunCommand(command, dialogs, text, pane, 6, {}, &counting, nullptr, exact),
            Outcome::kRan);
  EXPECT_GT(counting.fractions.size(), least_reports);
  for (std::size_t i = 1; i < counting.fractions.size(); ++i) {
    EXPECT_LE(counting.fractions[i - 1], counting.fractions[i]);
  }
  StoppingSink stopping(2);
  ScriptedDialogs stopped_dialogs(answers, {});
  TraceBuffer stopped_pane("previous result");
  EXPECT_EQ(
      RunCommand(command, stopped_dialogs, text, stopped_pane, 6, {}, &stopping, nullptr, exact),
      Outcome::kStopped);
  EXPECT_FALSE(stopped_pane.changed());
  return std::string(pane.text());
}

}  // namespace matcalc::testing
