#include "workbench/actions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <utility>
#include <vector>

#include "desk/menus.h"
#include "workbench/icons.h"
#include "workbench/pane_text.h"

namespace matcalc::workbench {
namespace {

QMenu* AddMenu(QMainWindow& window, std::string_view name, const QString& caption) {
  QMenu* menu = window.menuBar()->addMenu(caption);
  menu->setObjectName(FromView(name));
  menu->menuAction()->setObjectName(FromView(name));
  return menu;
}

// What the window's own item `name` runs; empty for the items other parts of
// the window connect (printing, the chart) and for the inactive ones.
std::function<void()> HandlerFor(std::string_view name, const ActionHandlers& on) {
  const std::pair<std::string_view, const std::function<void()>*> handlers[] = {
      {"FileNew", &on.file_new},
      {"FileOpen", &on.file_open},
      {"FileSave", &on.file_save},
      {"FileSaveAs", &on.file_save_as},
      {"File", &on.exit},
      {"EditSelectAll", &on.select_all},
      {"EditCut", &on.cut},
      {"EditCopy", &on.copy},
      {"EditPaste", &on.paste},
      {"EditDelete", &on.erase},
      {"ShowStyle", &on.font},
      {"ShowBackcolor", &on.background},
      {"ShowDefault", &on.defaults},
      {"ShowFormatDecimalDigits", &on.digits},
      {"ShowExactFractions", &on.exact_fractions},
      {"mnuHelpFile", &on.help},
      {"mnuAbout", &on.about},
  };
  for (const auto& [item, run] : handlers) {
    if (item == name) return *run;
  }
  if (const Example* example = FindExample(name)) {
    const std::function<void(const Example&)> open_example = on.open_example;
    return [example, open_example] { open_example(*example); };
  }
  if (const Command* command = FindCommand(name)) {
    const std::function<void(const Command&)> run_command = on.run_command;
    return [command, run_command] { run_command(*command); };
  }
  return {};
}

// The toolbar's icons: the style's for the file items, drawn ones for the
// edit items where the theme has none.
QIcon ButtonIcon(std::string_view name, const QStyle& style) {
  if (name == "FileNew") return style.standardIcon(QStyle::SP_FileIcon);
  if (name == "FileOpen") return style.standardIcon(QStyle::SP_DialogOpenButton);
  if (name == "FileSave") return style.standardIcon(QStyle::SP_DialogSaveButton);
  if (name == "FileSaveAs") return style.standardIcon(QStyle::SP_DriveFDIcon);
  if (name == "EditCut") return EditIcon(EditIconKind::kCut);
  if (name == "EditCopy") return EditIcon(EditIconKind::kCopy);
  return EditIcon(EditIconKind::kPaste);
}

}  // namespace

QToolBar* BuildMenusAndToolbar(QMainWindow& window, const ActionHandlers& on) {
  const std::vector<ToolbarButton>& keys = ToolbarButtons();
  std::vector<QAction*> buttons(keys.size(), nullptr);
  for (const Menu& menu_entry : WorkbenchMenus()) {
    QMenu* menu = AddMenu(window, menu_entry.name, FromView(menu_entry.caption));
    for (const MenuItem& entry : menu_entry.items) {
      if (entry.caption == "-") {
        menu->addSeparator()->setObjectName(FromView(entry.name));
        continue;
      }
      QAction* item = menu->addAction(FromView(entry.caption));
      item->setObjectName(FromView(entry.name));
      if (!entry.shortcut.empty()) {
        item->setShortcut(
            QKeySequence::fromString(FromView(entry.shortcut), QKeySequence::PortableText));
      }
      item->setCheckable(entry.checkable);
      if (!entry.active) {
        item->setEnabled(false);
        continue;
      }
      if (const std::function<void()> run = HandlerFor(entry.name, on)) {
        QObject::connect(item, &QAction::triggered, item, [run] { run(); });
      }
      const auto key = std::find_if(keys.begin(), keys.end(), [&](const ToolbarButton& button) {
        return button.item == entry.name;
      });
      if (key != keys.end()) {
        item->setIcon(ButtonIcon(entry.name, *window.style()));
        item->setData(FromView(key->key));
        buttons[static_cast<std::size_t>(key - keys.begin())] = item;
      }
    }
    if (menu_entry.lists_commands) {
      // A greyed method says why it is greyed (its tool tip).
      menu->setToolTipsVisible(true);
      const std::function<void()> solve_menu_opens = on.solve_menu_opens;
      QObject::connect(menu, &QMenu::aboutToShow, menu, [solve_menu_opens] { solve_menu_opens(); });
    }
  }

  QToolBar* toolbar = window.addToolBar(QStringLiteral("工具栏"));
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setMovable(false);
  toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].starts_group) toolbar->addSeparator();
    if (buttons[i] != nullptr) toolbar->addAction(buttons[i]);
  }
  return toolbar;
}

QAction* ToolbarAction(const QToolBar& toolbar, const QString& key) {
  for (QAction* action : toolbar.actions()) {
    if (!action->isSeparator() && action->data().toString() == key) return action;
  }
  return nullptr;
}

}  // namespace matcalc::workbench
