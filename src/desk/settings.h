// The rules the front ends share about the few settings and states a command
// depends on, so that the window and the page behave alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frame/boxes.h"

namespace matcalc {

// The digits an answer to the decimal-digits prompt gives: read by the
// leading-number rule, rounded, and kept within 1..15. An empty answer gives
// 1; a cancelled prompt keeps `current`; a value beyond the 16-bit range is
// clamped like any other.
int DigitsFromAnswer(const std::optional<std::string>& answer, int current);

// Asks the decimal digits through `dialogs` and returns the new setting.
Task<int> AskDecimalDigits(Boxes& boxes, int current);

// Whether the Solve menu offers its items: the edit pane holds something
// other than spaces (code 32; a tab or a line break counts as something).
bool SolveMenuEnabled(std::string_view text1);

}  // namespace matcalc
