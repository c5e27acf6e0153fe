// The hints while typing as the workbenches show them: the status line's
// summary of how the edit pane's text will be read, and the tip of each entry
// read only in part, at offsets in the panes' own units.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "linalg/reading_hints.h"

namespace matcalc {

// One line for the status bar: "3 行，首行 3 个元素，可作 3 阶矩阵" (or "3 行，
// 首行 4 个元素，可作 3 × 4 矩阵" when every row holds the first row's entries)
// and, when
// there are any, "，2 个元素只读了一部分".
std::string ReadingSummary(const TextReading& reading, TextUse use = TextUse::kMatrix);

// The tooltip of a partly read entry: "第 1 行第 1 个元素读作 12".
std::string PartlyReadTip(const PartlyReadEntry& entry);

// A partly read entry in pane units: UTF-16 code units of the pane's text,
// where a line break (CR LF in the text) counts once.
struct PaneMark {
  int start = 0;
  int end = 0;
  std::string tip;
};

struct PaneReading {
  std::string summary;  // empty for a text without rows
  std::vector<PaneMark> marks;
};

// Reads `text` (the edit pane's text as the commands get it: UTF-8, CR LF)
// and places its partly read entries in the pane. One walk over the bytes.
PaneReading ReadForPane(std::string_view text);

// The same for the page: {"summary":"...","rows":3,"order":3,"partlyRead":1,
// "marks":[[start,end,"tip"],...]}, offsets in pane units.
std::string ReadingJson(std::string_view text);

}  // namespace matcalc
