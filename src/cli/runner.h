// matcalc-cli: runs one command of the Solve menu without a window.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "frame/budget.h"

namespace matcalc {

// What the runner keeps beside the frame's text and trace, for the budgets:
// the bytes as read next to the decoded text; the trace is written once, from
// the pane itself.
inline constexpr FrontEndCosts kRunnerCosts{.text_copies = 1, .trace_copies = 0};

// Runs the runner with `args` (without the program name). Reads the edit
// pane's text from the named file or from `in`; writes the result pane to
// `out` and one line per dialog box, or a usage error, to `err`. Returns the
// exit status: 0 when the command ran, 2 for a usage error.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err);

}  // namespace matcalc
