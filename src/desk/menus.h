// The workbench's menus and toolbar as every front end shows them: names,
// captions and shortcuts, in display order. The Solve, the linear-systems and
// the matrix menus list the registry's commands.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace matcalc {

struct MenuItem {
  std::string_view name;      // the item's name; the command's menu item in the Solve menu
  std::string_view caption;   // "-" for a separator
  std::string_view shortcut;  // "Ctrl+N", "Del", or empty
  bool active = true;         // false: shown, but it does nothing
  bool checkable = false;     // a setting shown checked while it is on
};

struct Menu {
  std::string_view name;
  std::string_view caption;  // with its access key, as "文件(&F)"
  std::vector<MenuItem> items;
  // The Solve, linear-systems and matrix menus: their items are offered only while
  // SolveMenuEnabled (desk/settings.h), checked as the menu opens.
  bool lists_commands = false;
};

// File, Edit, Display, Solve, Linear systems, Matrices and Help.
const std::vector<Menu>& WorkbenchMenus();

// The toolbar's keys, in order.
std::span<const std::string_view> ToolbarKeys();

// A toolbar button: its key (the caption of the File or Edit item it runs)
// and that item's name; a separator stands before the first of a group (the
// Edit items).
struct ToolbarButton {
  std::string_view key;
  std::string_view item;
  bool starts_group = false;
};
// In the order of ToolbarKeys().
const std::vector<ToolbarButton>& ToolbarButtons();

// The items a running command must not meet: every command, and whatever
// changes the panes (the examples too), saves a trace not yet whole, or changes the digits the
// command computes with. Disabled while a command runs, in every workbench.
const std::vector<std::string_view>& BusyItems();

// A shortcut a workbench handles itself: the File menu's new, open and save.
// The editing keys act on the focused pane and Ctrl+P prints where the
// workbench runs, so a page leaves those to its browser.
struct Shortcut {
  std::string_view keys;  // as in the menu table: "Ctrl+N"
  std::string_view item;
};
const std::vector<Shortcut>& DocumentShortcuts();

}  // namespace matcalc
