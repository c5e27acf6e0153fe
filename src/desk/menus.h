// The workbench's menus and toolbar as every front end shows them: names,
// captions and shortcuts, in display order. The Solve and the linear-systems
// menus list the registry's commands.
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
};

struct Menu {
  std::string_view name;
  std::string_view caption;  // with its access key, as "文件(&F)"
  std::vector<MenuItem> items;
};

// File, Edit, Display, Solve, Linear systems and Help.
const std::vector<Menu>& WorkbenchMenus();

// The toolbar's keys, in order; a separator stands before "剪切".
std::span<const std::string_view> ToolbarKeys();

}  // namespace matcalc
