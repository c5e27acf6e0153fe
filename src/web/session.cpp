#include "web/session.h"

#include <utility>

#include "commands/registry.h"
#include "desk/json_text.h"
#include "desk/menus.h"
#include "desk/settings.h"
#include "desk/workbench_texts.h"
#include "text/encoding.h"

namespace matcalc::web {
namespace {

// What ends a run at a box the page has not answered yet.
struct Pending {};

class ReplayDialogs : public Dialogs {
 public:
  explicit ReplayDialogs(const std::vector<Answer>& answers) : answers_(answers) {}

  std::optional<std::string> Input(const InputRequest& request) override {
    if (next_ < answers_.size() && answers_[next_].is_input) return answers_[next_++].text;
    is_input = true;
    input = request;
    throw Pending{};
  }
  Reply Message(const MessageRequest& request) override {
    if (next_ < answers_.size() && !answers_[next_].is_input) return answers_[next_++].reply;
    is_input = false;
    message = request;
    throw Pending{};
  }

  bool is_input = false;
  InputRequest input;
  MessageRequest message;

 private:
  const std::vector<Answer>& answers_;
  std::size_t next_ = 0;
};

// "name":"text", after a comma unless it opens an object.
void AppendField(std::string& out, std::string_view name, std::string_view text) {
  if (out.back() != '{') out += ',';
  AppendJsonString(out, name);
  out += ':';
  AppendJsonString(out, text);
}

}  // namespace

template <typename Run>
Status Session::Replay(Run&& run) {
  ReplayDialogs dialogs(answers_);
  text_.clear();
  text_.shrink_to_fit();
  flag_ = false;
  cleared_ = false;
  try {
    run(dialogs);
    return Status::kDone;
  } catch (const Pending&) {
    box_is_input_ = dialogs.is_input;
    input_ = dialogs.input;
    message_ = dialogs.message;
    return Status::kAsks;
  }
}

Status Session::RunCommand(int index, std::string_view text1, double held_chars, int digits) {
  const auto commands = Commands();
  if (index < 0 || static_cast<std::size_t>(index) >= commands.size()) return Status::kUnknown;
  const Command& command = commands[static_cast<std::size_t>(index)];
  return Replay([&](Dialogs& dialogs) {
    // The pane starts empty here; what the command appends goes after the
    // page's text unless the command empties the pane first.
    ResultPane pane;
    const auto take = [&] {
      flag_ = pane.changed();
      cleared_ = pane.clears() != 0;
      if (flag_) text_ = pane.TakeText();
    };
    try {
      FrontEndCosts costs = kPageCosts;
      costs.held_bytes = held_chars * kPageHeldBytesPerChar;
      matcalc::RunCommand(command, dialogs, text1, pane, digits, costs, progress_, &series_);
    } catch (const Pending&) {
      // What the command wrote so far is shown behind the box, as the
      // window does.
      take();
      throw;
    }
    take();
  });
}

Status Session::AskDigits(int current) {
  return Replay([&](Dialogs& dialogs) { value_ = AskDecimalDigits(dialogs, current); });
}

Status Session::OpenFile(std::string_view bytes) {
  return Replay([&](Dialogs& dialogs) {
    MessageRequest too_large;
    too_large.text = kFileTooLargeText;
    // Refused before anything is asked, as the window does.
    if (bytes.size() > kLargestFileBytes) {
      dialogs.Message(too_large);
      return;
    }
    if (bytes.size() > static_cast<std::size_t>(kLargeFileBytes) &&
        dialogs.Message(LargeFileQuestion()) != Reply::kYes) {
      return;
    }
    if (bytes.empty()) {
      flag_ = true;  // both panes are emptied before the message
      MessageRequest empty;
      empty.text = kEmptyFileText;
      dialogs.Message(empty);
      return;
    }
    std::string text = DecodeText(std::string(bytes));
    // UTF-16 decodes to more bytes than it had.
    if (text.size() > kLargestFileBytes) {
      dialogs.Message(too_large);
      return;
    }
    flag_ = true;
    text_ = std::move(text);
  });
}

std::string CatalogJson() {
  std::string out = "{";
  AppendField(out, "title", kProgramTitle);
  out += ",\"menus\":[";
  for (const Menu& menu : WorkbenchMenus()) {
    if (out.back() != '[') out += ',';
    out += '{';
    AppendField(out, "name", menu.name);
    AppendField(out, "caption", menu.caption);
    out += ",\"items\":[";
    for (const MenuItem& item : menu.items) {
      if (out.back() != '[') out += ',';
      out += '{';
      AppendField(out, "name", item.name);
      AppendField(out, "caption", item.caption);
      AppendField(out, "shortcut", item.shortcut);
      out += item.active ? ",\"active\":true}" : ",\"active\":false}";
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
  out += "},\"busyItems\":[";
  for (const std::string_view item : BusyItems()) {
    if (out.back() != '[') out += ',';
    AppendJsonString(out, item);
  }
  out += "],\"shortcuts\":{";
  for (const Shortcut& shortcut : DocumentShortcuts()) {
    AppendField(out, shortcut.keys, shortcut.item);
  }
  out += "},\"largestFileBytes\":" + std::to_string(kLargestFileBytes);
  out += ",\"texts\":{";
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
  };
  for (const auto& [name, text] : texts) AppendField(out, name, text);
  out += "}}";
  return out;
}

}  // namespace matcalc::web
