#include "web/catalog.h"

#include <utility>

#include "commands/registry.h"
#include "desk/chart_plan.h"
#include "desk/examples.h"
#include "desk/json_text.h"
#include "desk/menus.h"
#include "desk/opening.h"
#include "desk/print_cells.h"
#include "desk/workbench_texts.h"
#include "frame/frame.h"

namespace matcalc::web {
namespace {

// "name":"text", after a comma unless it opens an object.
void AppendField(std::string& out, std::string_view name, std::string_view text) {
  if (out.back() != '{') out += ',';
  AppendJsonString(out, name);
  out += ':';
  AppendJsonString(out, text);
}

}  // namespace

std::string CatalogJson() {
  std::string out = "{";
  AppendField(out, "title", kProgramTitle);
  out += ",\"menus\":[";
  for (const Menu& menu : WorkbenchMenus()) {
    if (out.back() != '[') out += ',';
    out += '{';
    AppendField(out, "name", menu.name);
    AppendField(out, "caption", menu.caption);
    out += menu.lists_commands ? ",\"listsCommands\":true" : ",\"listsCommands\":false";
    out += ",\"items\":[";
    for (const MenuItem& item : menu.items) {
      if (out.back() != '[') out += ',';
      out += '{';
      AppendField(out, "name", item.name);
      AppendField(out, "caption", item.caption);
      AppendField(out, "shortcut", item.shortcut);
      out += item.active ? ",\"active\":true" : ",\"active\":false";
      if (item.checkable) out += ",\"checkable\":true";
      out += '}';
    }
    out += "]}";
  }
  out += "],\"commands\":[";
  for (const Command& command : Commands()) {
    if (out.back() != '[') out += ',';
    out += '{';
    AppendField(out, "name", command.name);
    AppendField(out, "item", command.menu_item);
    AppendField(out, "caption", command.caption);
    out += '}';
  }
  out += "],\"toolbar\":[";
  for (const std::string_view key : ToolbarKeys()) {
    if (out.back() != '[') out += ',';
    AppendJsonString(out, key);
  }
  out += "],\"toolbarItems\":{";
  for (const ToolbarButton& button : ToolbarButtons()) AppendField(out, button.key, button.item);
  out += "},\"toolbarGroupStarts\":[";
  for (const ToolbarButton& button : ToolbarButtons()) {
    if (!button.starts_group) continue;
    if (out.back() != '[') out += ',';
    AppendJsonString(out, button.key);
  }
  out += "],\"busyItems\":[";
  for (const std::string_view item : BusyItems()) {
    if (out.back() != '[') out += ',';
    AppendJsonString(out, item);
  }
  out += "],\"shortcuts\":{";
  for (const Shortcut& shortcut : DocumentShortcuts()) {
    AppendField(out, shortcut.keys, shortcut.item);
  }
  out += "},\"examples\":{";
  for (const Example& example : Examples()) AppendField(out, example.item, ExamplePath(example));
  out += "},\"largestFileBytes\":" + std::to_string(kPageLargestFileBytes);
  // The decimal-digits setting's range and its value at start.
  out += ",\"digits\":{\"min\":" + std::to_string(kMinDigits) +
         ",\"max\":" + std::to_string(kMaxDigits) + ",\"start\":" + std::to_string(kDefaultDigits) +
         "}";
  // The characters that take two cells of the print's font.
  out += ",\"wideRanges\":[";
  for (const auto& [first, last] : kWidePrintRanges) {
    if (out.back() != '[') out += ',';
    out += "[" + std::to_string(static_cast<unsigned long>(first)) + "," +
           std::to_string(static_cast<unsigned long>(last)) + "]";
  }
  out += "]";
  out += ",\"texts\":{";
  const MessageRequest replace = ReplaceEditTextQuestion();
  const std::pair<std::string_view, std::string_view> texts[] = {
      {"statusEditing", kStatusEditing},
      {"statusEditArea", kStatusEditArea},
      {"statusResultArea", kStatusResultArea},
      {"statusNew", kStatusNew},
      {"openCancelled", kOpenCancelledText},
      {"openFailed", kOpenFailedText},
      {"fileTooLarge", kFileTooLargeText},
      {"saveEmpty", kSaveEmptyText},
      {"saveCancelled", kSaveCancelledText},
      {"saveAsCancelled", kSaveAsCancelledText},
      {"saveFailed", kSaveFailedText},
      {"exitCredits", kExitCredits},
      {"exitPage", kExitPageText},
      {"statusComputing", kStatusComputing},
      {"noChart", kNoChartText},
      {"printCaption", kPrintCaption},
      {"chartTitle", kChartTitle},
      {"giveUpLegend", kGiveUpLegend},
      {"exportPng", kExportPngButton},
      {"exportSvg", kExportSvgButton},
      {"close", kCloseButton},
      {"editPlaceholder", kEditPanePlaceholder},
      {"exactPanel", kExactPanelText},
      {"solveDisabled", kSolveDisabledText},
      {"replaceByExample", replace.text},
      {"replaceByExampleTitle", replace.title},
  };
  for (const auto& [name, text] : texts) AppendField(out, name, text);
  out += "}}";
  return out;
}

}  // namespace matcalc::web
