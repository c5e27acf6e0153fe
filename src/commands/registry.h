// The twelve commands of the Solve menu, in menu order. Both front ends run
// them from here and nowhere else.
#pragma once

#include <span>
#include <string_view>

#include "frame/frame.h"

namespace matcalc {

using CommandFunction = void (*)(Frame&);

struct Command {
  std::string_view name;       // the runner's method name
  std::string_view menu_item;  // the window's menu item
  std::string_view caption;    // the menu caption
  CommandFunction run;         // null while the method is not built
};

// All twelve, in the order of the Solve menu.
std::span<const Command> Commands();

// The command with this runner name or menu item name, or null.
const Command* FindCommand(std::string_view name);

// Runs `command` on `text1`, appending to `pane`. `front_end` says what the
// calling front end keeps beside them (copies of the text and the trace); the
// budgets count it.
void RunCommand(const Command& command, Dialogs& dialogs, std::string_view text1,
                ResultPane& pane, int digits, const FrontEndCosts& front_end);

// Runs `command` on `text1` with a result pane that starts as `text2`. The
// pane reports whether the command touched it.
ResultPane RunCommand(const Command& command, Dialogs& dialogs, std::string_view text1,
                      std::string text2, int digits, const FrontEndCosts& front_end);

}  // namespace matcalc
