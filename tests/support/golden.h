// Running a command with scripted answers, and comparing whole texts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "frame/dialogs.h"

namespace matcalc::testing {

struct MethodOutcome {
  std::string text2;     // the result pane afterwards
  bool changed = false;  // whether the command touched the result pane
  std::string dialogs;   // one line per box, as the runner reports them
};

// Runs the command named `name` (runner name or menu item) on `text1`, with
// the result pane starting as `text2`.
MethodOutcome RunMethod(std::string_view name, std::string_view text1,
                        std::vector<std::string> answers = {}, std::vector<Reply> replies = {},
                        int digits = 6, std::string text2 = "previous result", bool exact = false);

// RunMethod in the exact mode.
inline MethodOutcome RunExact(std::string_view name, std::string_view text1,
                              std::vector<std::string> answers = {}) {
  return RunMethod(name, text1, std::move(answers), {}, 6, "previous result", true);
}

// The contents of tests/golden/<file>, byte for byte.
std::string Golden(std::string_view file);

// Compares two texts whole; on a difference reports the first differing line
// (line breaks shown as \r and \n) and its number.
::testing::AssertionResult SameText(std::string_view expected, std::string_view actual);

// Writes CR LF between the given lines and after the last one.
std::string CrLfLines(std::initializer_list<std::string_view> lines);

// The lines of a trace, cut at each CR LF; the text after the last one is the
// last line (empty when the trace ends with a line break).
std::vector<std::string> SplitCrLf(std::string_view text);

}  // namespace matcalc::testing
