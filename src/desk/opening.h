// Opening a file into the edit pane, as every workbench does it: the limits
// and the steps before and after the bytes are read. The window reads from
// its file system and the page from the browser's; both go through these.
#pragma once

#include <cstddef>
#include <cstdint>

#include "commands/registry.h"
#include "frame/boxes.h"
#include "frame/budget.h"

namespace matcalc {

// A file longer than this is read only after the user agreed to wait.
inline constexpr std::uint64_t kAskBeforeOpeningBytes = 1500;

// The longest file each workbench opens, in bytes before and after decoding.
// The window: the longest text a command could read within the memory budget.
inline constexpr std::size_t kWindowLargestFileBytes = kLargestTextBytes;
// The page: opening holds a file about six times at its peak (the bytes in
// the worker and in the core, the decoded text in the core, in the worker and
// in the page, the page's line index), and a command adds its own copies on
// top (the registry's text budget): an eighth of the memory budget keeps the
// whole within it.
inline constexpr std::size_t kPageLargestFileBytes =
    static_cast<std::size_t>(kMemoryBudgetBytes / 8);

// What to do with a file of a given size.
enum class OpenStep {
  kStop,   // refused as too large (told), or the user declined to wait
  kEmpty,  // both panes are emptied, then EmptyFileMessage() is shown
  kRead,   // read it, decode it, and check the text with TextFits
};

// Before reading: a file beyond `largest` is refused with "文件太大，不能打开。"
// before anything is asked; one beyond kAskBeforeOpeningBytes is read only if
// the user answers Yes to the large-file question (No, the default, leaves
// both panes as they were).
Task<OpenStep> StepForSize(Boxes& boxes, std::uint64_t size, std::size_t largest);

// Tells that the file opened was empty (after both panes were emptied).
Task<> TellEmptyFile(Boxes& boxes);

// After decoding: whether `text_bytes` of text may go into the edit pane
// (UTF-16 decodes to more bytes than it had); if not, says the file is too
// large and both panes stay as they were.
Task<bool> TextFits(Boxes& boxes, std::size_t text_bytes, std::size_t largest);

// Says the file is too large to open.
Task<> TellTooLarge(Boxes& boxes);

}  // namespace matcalc
