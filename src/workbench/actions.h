// The menus and the toolbar, built from the workbench's shared table
// (desk/menus.h). Every item is one QAction, made once: the
// toolbar's buttons are the File and Edit items themselves, so a button and
// its menu item always agree on what they run and on whether they are enabled.
#pragma once

#include <QString>
#include <functional>

#include "commands/registry.h"
#include "desk/examples.h"

class QAction;
class QMainWindow;
class QToolBar;

namespace matcalc::workbench {

// What the items run. Every member must be set.
struct ActionHandlers {
  std::function<void()> file_new, file_open, file_save, file_save_as, exit;
  std::function<void()> select_all, cut, copy, paste, erase;
  std::function<void()> font, background, defaults, digits, exact_fractions;
  std::function<void()> solve_menu_opens;
  std::function<void(const Command&)> run_command;
  std::function<void()> help, about;
  std::function<void(const Example&)> open_example;
};

// Adds the five menus (named mnuFile, FileNew ... as the items they hold) and
// the toolbar Toolbar1 to `window`; returns the toolbar.
QToolBar* BuildMenusAndToolbar(QMainWindow& window, const ActionHandlers& handlers);

// The toolbar's button whose key is exactly `key` ("新建" ... "粘贴"), or null.
QAction* ToolbarAction(const QToolBar& toolbar, const QString& key);

}  // namespace matcalc::workbench
