#include "desk/menus.h"

#include <array>

#include "commands/registry.h"
#include "desk/examples.h"

namespace matcalc {
namespace {

std::vector<MenuItem> SolveItems() {
  std::vector<MenuItem> items;
  for (const Command& command : Commands()) {
    if (command.menu != CommandMenu::kSolve) continue;
    // The eigenvalue methods, the elimination methods and the tests and
    // norms stand in three groups.
    if (command.menu_item == "QrEigenvalues") items.push_back({"QrEigenvaluesBar", "-", ""});
    if (command.menu_item == "A_matrix") items.push_back({"Gauss__", "-", ""});
    if (command.menu_item == "CMatrixJudge") items.push_back({"OtherApply", "-", ""});
    items.push_back({command.menu_item, command.caption, ""});
  }
  return items;
}

std::vector<MenuItem> SystemsItems() {
  std::vector<MenuItem> items;
  for (const Command& command : Commands()) {
    if (command.menu != CommandMenu::kSystems) continue;
    // The direct solvers, the iterative solvers and the condition numbers.
    if (command.menu_item == "LinearJacobi") items.push_back({"LinearIterativeBar", "-", ""});
    if (command.menu_item == "LinearCondition") items.push_back({"LinearConditionBar", "-", ""});
    items.push_back({command.menu_item, command.caption, ""});
  }
  return items;
}

std::vector<MenuItem> MatricesItems() {
  std::vector<MenuItem> items;
  for (const Command& command : Commands()) {
    if (command.menu != CommandMenu::kMatrices) continue;
    // The row operations, then the orthogonal transformations.
    if (command.menu_item == "MatrixHouseholder") items.push_back({"MatrixOrthogonalBar", "-", ""});
    items.push_back({command.menu_item, command.caption, ""});
  }
  return items;
}

// The manual, the bundled examples and the about box.
std::vector<MenuItem> HelpItems() {
  std::vector<MenuItem> items = {{"mnuHelpFile", "帮助文件", ""}, {"HelpExamplesBar", "-", ""}};
  for (const Example& example : Examples()) items.push_back({example.item, example.caption, ""});
  items.push_back({"HelpAboutBar", "-", ""});
  items.push_back({"mnuAbout", "关于", ""});
  return items;
}

constexpr std::array<std::string_view, 7> kToolbarKeys = {"新建", "打开", "保存", "另存为",
                                                          "剪切", "复制", "粘贴"};

}  // namespace

const std::vector<Menu>& WorkbenchMenus() {
  static const std::vector<Menu> menus = {
      {"mnuFile",
       "文件(&F)",
       {{"FileNew", "新建", "Ctrl+N"},
        {"FileOpen", "打开", "Ctrl+O"},
        {"FileSave", "保存", "Ctrl+S"},
        {"FileSaveAs", "另存为", ""},
        {"FilePrintBar", "-", ""},
        {"FilePrint", "打印...(&P)", "Ctrl+P"},
        {"FilePrintPreview", "打印预览", ""},
        {"FileExportPdf", "导出 PDF...", ""},
        {"FileExitBar", "-", ""},
        {"File", "退出", ""}}},
      {"mnuEdit",
       "编辑(&E)",
       {{"EditUndo", "撤消", "", false},
        {"EditRecall", "还原", "", false},
        {"EditSelectAll", "全选(&A)", "Ctrl+A"},
        {"EditCut", "剪切", "Ctrl+X"},
        {"EditCopy", "复制", "Ctrl+C"},
        {"EditPaste", "粘贴", "Ctrl+V"},
        {"EditDelete", "删除(&L)", "Del"}}},
      {"mnuShow",
       "显示(&V)",
       {{"ShowStyle", "字体", ""},
        {"ShowBackcolor", "背景", ""},
        {"ShowDefault", "默认", ""},
        {"ShowFormatDecimalDigits", "设置小数数位", ""},
        {"ShowExactFractions", "精确分数(&F)", "", true, true},
        {"ShowChartBar", "-", ""},
        {"ShowChart", "收敛图", ""}}},
      {"mnuC", "求解(&C)", SolveItems(), true},
      {"mnuL", "方程组(&L)", SystemsItems(), true},
      {"mnuM", "矩阵(&M)", MatricesItems(), true},
      {"mnuHelp", "帮助(&H)", HelpItems()},
  };
  return menus;
}

std::span<const std::string_view> ToolbarKeys() { return kToolbarKeys; }

const std::vector<ToolbarButton>& ToolbarButtons() {
  static const std::vector<ToolbarButton> buttons = [] {
    std::vector<ToolbarButton> made;
    for (const std::string_view key : kToolbarKeys) {
      for (const Menu& menu : WorkbenchMenus()) {
        if (menu.name != "mnuFile" && menu.name != "mnuEdit") continue;
        for (const MenuItem& item : menu.items) {
          if (item.caption == key) made.push_back({key, item.name, key == "剪切"});
        }
      }
    }
    return made;
  }();
  return buttons;
}

const std::vector<std::string_view>& BusyItems() {
  static const std::vector<std::string_view> items = [] {
    // The result pane is saved, printed and exported only once whole.
    std::vector<std::string_view> made = {
        "FileNew",           "FileOpen",         "FileSave",      "FileSaveAs",
        "FilePrint",         "FilePrintPreview", "FileExportPdf", "EditCut",
        "EditPaste",         "EditDelete",       "ShowDefault",   "ShowFormatDecimalDigits",
        "ShowExactFractions"};
    for (const Command& command : Commands()) made.push_back(command.menu_item);
    // An example replaces the edit pane's text, as opening a file does.
    for (const Example& example : Examples()) made.push_back(example.item);
    return made;
  }();
  return items;
}

const std::vector<Shortcut>& DocumentShortcuts() {
  static const std::vector<Shortcut> shortcuts = [] {
    std::vector<Shortcut> made;
    for (const MenuItem& item : WorkbenchMenus().front().items) {
      if (item.name == "FileNew" || item.name == "FileOpen" || item.name == "FileSave") {
        made.push_back({item.shortcut, item.name});
      }
    }
    return made;
  }();
  return shortcuts;
}

}  // namespace matcalc
