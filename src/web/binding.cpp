// The page's way into the core: plain C functions the worker calls through
// the module's exports. A command runs from its start each time; the boxes it
// shows are answered from the answers the page gave so far, and a box with no
// answer yet ends the run with that box pending. The page shows the box, adds
// the answer and runs the command again. The core is deterministic, so every
// run takes the same path up to the new box.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/menus.h"
#include "commands/registry.h"
#include "frame/settings.h"
#include "frame/workbench_texts.h"
#include "text/encoding.h"

namespace matcalc::web {
namespace {

// What ends a run at a box the page has not answered yet.
struct Pending {};

struct Answer {
  bool is_input = false;
  std::optional<std::string> text;  // input boxes: the text, or a cancel
  Reply reply = Reply::kOk;          // message boxes
};

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

enum Status : int { kDone = 0, kAsks = 1 };

// The largest file the page opens. Opening holds it about six times at its
// peak (the bytes in the worker and in the core, the decoded text in the
// core, in the worker and in the page, the page's line index), and a command
// adds its own copies on top (the registry's text budget): an eighth of the
// memory budget keeps the whole within it.
constexpr std::size_t kLargestFileBytes =
    static_cast<std::size_t>(matcalc::kMemoryBudgetBytes / 8);

struct State {
  std::vector<Answer> answers;
  // The pending box.
  bool box_is_input = false;
  InputRequest input;
  MessageRequest message;
  // The outcome: a text (the result pane, or the text of an opened file), a
  // flag and a number whose meaning depends on the operation.
  std::string text;
  int flag = 0;
  int value = 0;
  std::string catalog;
} state;

template <typename Run>
int Replay(Run&& run) {
  ReplayDialogs dialogs(state.answers);
  state.text.clear();
  state.text.shrink_to_fit();
  try {
    run(dialogs);
    return kDone;
  } catch (const Pending&) {
    state.box_is_input = dialogs.is_input;
    state.input = dialogs.input;
    state.message = dialogs.message;
    return kAsks;
  }
}

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendField(std::string& out, std::string_view name, std::string_view text) {
  if (out.back() != '{') out += ',';
  AppendJsonString(out, name);
  out += ':';
  AppendJsonString(out, text);
}

std::string BuildCatalog() {
  std::string out = "{";
  AppendField(out, "title", kProgramTitle);
  out += ",\"menus\":[";
  bool first_menu = true;
  for (const Menu& menu : WorkbenchMenus()) {
    if (!first_menu) out += ',';
    first_menu = false;
    out += '{';
    AppendField(out, "name", menu.name);
    AppendField(out, "caption", menu.caption);
    out += ",\"items\":[";
    bool first_item = true;
    for (const MenuItem& item : menu.items) {
      if (!first_item) out += ',';
      first_item = false;
      out += '{';
      AppendField(out, "name", item.name);
      AppendField(out, "caption", item.caption);
      AppendField(out, "shortcut", item.shortcut);
      out += item.active ? ",\"active\":true}" : ",\"active\":false}";
    }
    out += "]}";
  }
  out += "],\"commands\":[";
  bool first_command = true;
  for (const Command& command : Commands()) {
    if (!first_command) out += ',';
    first_command = false;
    out += '{';
    AppendField(out, "name", command.name);
    AppendField(out, "item", command.menu_item);
    AppendField(out, "caption", command.caption);
    out += '}';
  }
  out += "],\"toolbar\":[";
  bool first_key = true;
  for (const std::string_view key : ToolbarKeys()) {
    if (!first_key) out += ',';
    first_key = false;
    AppendJsonString(out, key);
  }
  out += "],\"largestFileBytes\":" + std::to_string(kLargestFileBytes);
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
      {"textFiles", kTextFilesName},
      {"allFiles", kAllFilesName},
  };
  for (const auto& [name, text] : texts) AppendField(out, name, text);
  out += "}}";
  return out;
}

}  // namespace
}  // namespace matcalc::web

using matcalc::web::state;

extern "C" {

// The menus, the toolbar, the commands and the workbench's texts as JSON.
EMSCRIPTEN_KEEPALIVE const char* mc_catalog() {
  if (state.catalog.empty()) state.catalog = matcalc::web::BuildCatalog();
  return state.catalog.c_str();
}

// Answers for the next run, in the order the boxes came.
EMSCRIPTEN_KEEPALIVE void mc_clear_answers() { state.answers.clear(); }
EMSCRIPTEN_KEEPALIVE void mc_add_input(const char* text, int length) {
  matcalc::web::Answer answer;
  answer.is_input = true;
  if (length >= 0) answer.text = std::string(text, static_cast<std::size_t>(length));
  state.answers.push_back(std::move(answer));
}
// 0 OK, 1 Yes, 2 No.
EMSCRIPTEN_KEEPALIVE void mc_add_reply(int reply) {
  matcalc::web::Answer answer;
  answer.reply = reply == 1   ? matcalc::Reply::kYes
                 : reply == 2 ? matcalc::Reply::kNo
                              : matcalc::Reply::kOk;
  state.answers.push_back(std::move(answer));
}

// Runs command `index` (menu order) on the panes' texts (UTF-8, CR LF).
// Done: mc_text() is the result pane, mc_flag() whether the command touched it.
EMSCRIPTEN_KEEPALIVE int mc_run_command(int index, const char* text1, int length1,
                                        const char* text2, int length2, int digits) {
  const auto commands = matcalc::Commands();
  if (index < 0 || static_cast<std::size_t>(index) >= commands.size()) return -1;
  const matcalc::Command& command = commands[static_cast<std::size_t>(index)];
  const std::string_view edit(text1, static_cast<std::size_t>(length1));
  return matcalc::web::Replay([&](matcalc::Dialogs& dialogs) {
    matcalc::ResultPane pane(std::string(text2, static_cast<std::size_t>(length2)));
    try {
      matcalc::RunCommand(command, dialogs, edit, pane, digits);
    } catch (const matcalc::web::Pending&) {
      // What the command wrote so far is shown behind the box, as the
      // window does.
      state.flag = pane.changed() ? 1 : 0;
      if (pane.changed()) state.text = pane.text();
      throw;
    }
    state.flag = pane.changed() ? 1 : 0;
    state.text = pane.text();
  });
}

// Asks the decimal digits; done: mc_value() is the new setting.
EMSCRIPTEN_KEEPALIVE int mc_ask_digits(int current) {
  return matcalc::web::Replay([&](matcalc::Dialogs& dialogs) {
    state.value = matcalc::AskDecimalDigits(dialogs, current);
  });
}

// Opens a file's bytes. Done: mc_flag() 1 when the edit pane takes mc_text()
// and the result pane is emptied, 0 when the user declined or the file was
// refused (panes unchanged).
EMSCRIPTEN_KEEPALIVE int mc_open_file(const char* bytes, int length) {
  return matcalc::web::Replay([&](matcalc::Dialogs& dialogs) {
    state.flag = 0;
    matcalc::MessageRequest too_large;
    too_large.text = matcalc::kFileTooLargeText;
    // Refused before anything is asked, as the window does.
    if (static_cast<std::size_t>(length) > matcalc::web::kLargestFileBytes) {
      dialogs.Message(too_large);
      return;
    }
    if (length > matcalc::kLargeFileBytes &&
        dialogs.Message(matcalc::LargeFileQuestion()) != matcalc::Reply::kYes) {
      return;
    }
    state.flag = 1;
    if (length == 0) {
      matcalc::MessageRequest empty;
      empty.text = matcalc::kEmptyFileText;
      dialogs.Message(empty);
      return;
    }
    std::string text = matcalc::DecodeText(std::string(bytes, static_cast<std::size_t>(length)));
    // UTF-16 decodes to more bytes than it had.
    if (text.size() > matcalc::web::kLargestFileBytes) {
      state.flag = 0;
      dialogs.Message(too_large);
      return;
    }
    state.text = std::move(text);
  });
}

// Whether the Solve menu offers its items for this edit pane text.
EMSCRIPTEN_KEEPALIVE int mc_solve_enabled(const char* text1, int length) {
  return matcalc::SolveMenuEnabled(std::string_view(text1, static_cast<std::size_t>(length)))
             ? 1
             : 0;
}

EMSCRIPTEN_KEEPALIVE const char* mc_text() { return state.text.data(); }
EMSCRIPTEN_KEEPALIVE int mc_text_length() { return static_cast<int>(state.text.size()); }
EMSCRIPTEN_KEEPALIVE int mc_flag() { return state.flag; }
EMSCRIPTEN_KEEPALIVE int mc_value() { return state.value; }

// The pending box. Kind 0 an input box, 1 a message box.
EMSCRIPTEN_KEEPALIVE int mc_box_kind() { return state.box_is_input ? 0 : 1; }
EMSCRIPTEN_KEEPALIVE const char* mc_box_text() {
  return state.box_is_input ? state.input.prompt.c_str() : state.message.text.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* mc_box_title() {
  return state.box_is_input ? state.input.title.c_str() : state.message.title.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* mc_box_default_text() { return state.input.default_text.c_str(); }
// 0 OK, 1 Yes and No.
EMSCRIPTEN_KEEPALIVE int mc_box_buttons() {
  return state.message.buttons == matcalc::Buttons::kYesNo ? 1 : 0;
}
// The default button of a question: 1 Yes, 2 No. A question without a
// default of its own defaults to Yes, as in the window and the runner.
EMSCRIPTEN_KEEPALIVE int mc_box_default_button() {
  return state.message.default_button == matcalc::Reply::kNo ? 2 : 1;
}
// 0 none, 1 exclamation, 2 information, 3 critical, 4 question.
EMSCRIPTEN_KEEPALIVE int mc_box_icon() { return static_cast<int>(state.message.icon); }

}  // extern "C"
