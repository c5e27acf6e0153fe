// The bundled example matrices of the Help menu: one text file for each kind
// of method, under the program's examples/ folder (installed beside the
// manual; the page carries them in its site). Choosing one puts the file's
// text into the edit pane the way opening a file does.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "frame/boxes.h"

namespace matcalc {

struct Example {
  std::string_view item;     // the Help menu item's name
  std::string_view caption;  // the item's caption
  std::string_view file;     // the file's name in kExamplesFolder
  // The runner names of the methods it is written for: each of them runs on
  // it to its end, without refusing it.
  std::vector<std::string_view> commands;
};

inline constexpr std::string_view kExamplesFolder = "examples";

// In the order the Help menu lists them.
const std::vector<Example>& Examples();

// The example whose menu item is `item`, or null.
const Example* FindExample(std::string_view item);

// "examples/symmetric3.txt": where the file lies below the program's folder
// and the page's.
std::string ExamplePath(const Example& example);

// Whether an example may replace `edit_text`: at once when the edit pane
// holds only blanks or one of the texts `not_lost` (the example chosen, the
// one it put there before), CR LF and LF alike; otherwise the user is asked,
// and No (the default) keeps both panes.
Task<bool> MayReplaceEditText(Boxes& boxes, std::string_view edit_text,
                              std::initializer_list<std::string_view> not_lost);

// The question asked before a text the user may still want is replaced.
MessageRequest ReplaceEditTextQuestion();

}  // namespace matcalc
