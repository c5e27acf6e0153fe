// The bundled examples in the Help menu, and when choosing one replaces the
// edit pane's text without asking.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "desk/examples.h"
#include "desk/menus.h"
#include "desk/scripted_dialogs.h"

namespace matcalc {
namespace {

TEST(Examples, ListedOnceInTheHelpMenuAndBusyWhileACommandRuns) {
  for (const Example& example : Examples()) {
    SCOPED_TRACE(example.item);
    int listed = 0;
    for (const Menu& menu : WorkbenchMenus()) {
      for (const MenuItem& item : menu.items) {
        if (item.name != example.item) continue;
        ++listed;
        EXPECT_EQ(menu.name, "mnuHelp");
        EXPECT_EQ(item.caption, example.caption);
        EXPECT_TRUE(item.caption.starts_with("示例："));
      }
    }
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(FindExample(example.item), &example);
    EXPECT_EQ(std::count(BusyItems().begin(), BusyItems().end(), example.item), 1);
  }
  EXPECT_EQ(FindExample("mnuAbout"), nullptr);
  EXPECT_EQ(ExamplePath(Examples().front()), "examples/symmetric3.txt");
}

struct ReplaceCase {
  const char* name;
  std::string_view edit_text;
  std::vector<Reply> replies;
  bool asked;
  bool replaced;
};

TEST(Examples, AsksBeforeReplacingATextOfTheUsers) {
  const std::string_view example = "4 1 -2\n1 3 0\n-2 0 5\n";
  const ReplaceCase cases[] = {
      {"empty", "", {}, false, true},
      {"blanks and line breaks", "  \r\n\t\n", {}, false, true},
      {"the same example, with CR LF", "4 1 -2\r\n1 3 0\r\n-2 0 5\r\n", {}, false, true},
      {"the example shown before", "3 -4 12\r\n", {}, false, true},
      {"one number more", "4 1 -2\r\n1 3 0\r\n-2 0 5 7\r\n", {Reply::kYes}, true, true},
      {"a matrix of the user's, Yes", "1 2\r\n3 4", {Reply::kYes}, true, true},
      {"a matrix of the user's, No", "1 2\r\n3 4", {Reply::kNo}, true, false},
      {"a matrix of the user's, the default", "1 2\r\n3 4", {}, true, false},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedDialogs dialogs({}, c.replies);
    EXPECT_EQ(RunAnswering(dialogs,
                           [&](Boxes& boxes) {
                             return MayReplaceEditText(boxes, c.edit_text, {example, "3 -4 12\n"});
                           }),
              c.replaced);
    ASSERT_EQ(dialogs.shown().size(), c.asked ? 1U : 0U);
    if (!c.asked) continue;
    const MessageRequest& question = dialogs.shown()[0].message;
    EXPECT_EQ(question.text, "编辑区域中的内容将被示例替换，是否继续？");
    EXPECT_TRUE(question.buttons == Buttons::kYesNo);
    EXPECT_TRUE(question.default_button == Reply::kNo);
  }
}

}  // namespace
}  // namespace matcalc
