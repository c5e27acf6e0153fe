#include "cli/runner.h"

#include <chrono>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "commands/registry.h"
#include "frame/scripted_dialogs.h"
#include "text/encoding.h"
#include "text/text_util.h"

namespace matcalc {
namespace {

constexpr std::string_view kUsage =
    "usage: matcalc-cli [--digits D] [--answer TEXT]... [--reply yes|no]... [--progress]\n"
    "                   METHOD [FILE]\n"
    "       matcalc-cli --list\n"
    "       matcalc-cli --help\n"
    "\n"
    "Runs one method on the matrix or vector text in FILE (or standard input, also\n"
    "for \"-\") and prints the result pane's text. Each --answer is typed into the\n"
    "next input box and confirmed; later boxes are cancelled. Each --reply answers\n"
    "the next Yes/No question; later questions get their default button. --digits\n"
    "sets the decimal digits (1 to 15, default 6). Every dialog box shown is\n"
    "reported on standard error, one line each. --progress adds lines\n"
    "\"progress<TAB>P\" there while the method computes (P: whole percent of its\n"
    "estimated work, never decreasing). --list names the methods.\n";

int UsageError(std::ostream& err, std::string_view message) {
  err << "matcalc-cli: " << message << '\n';
  return 2;
}

// --progress: a line "progress<TAB>P" whenever the whole percent grows, and at
// least every kProgressLineInterval of computation while it does not.
class ProgressLines : public ProgressSink {
 public:
  static constexpr std::chrono::milliseconds kProgressLineInterval{50};

  explicit ProgressLines(std::ostream& err) : err_(err) {}

  void Report(double fraction) override {
    const int percent = std::max(percent_, static_cast<int>(std::floor(fraction * 100)));
    const auto now = std::chrono::steady_clock::now();
    if (percent == percent_ && now - last_line_ < kProgressLineInterval) return;
    Line(percent);
  }
  bool StopRequested() override { return false; }

  void Line(int percent) {
    percent_ = percent;
    err_ << "progress\t" + std::to_string(percent) + "\n";
    err_.flush();
    // Time spent in a box is not computation: the interval starts afresh.
    last_line_ = std::chrono::steady_clock::now();
  }
  void Restart() { last_line_ = std::chrono::steady_clock::now(); }

 private:
  std::ostream& err_;
  int percent_ = 0;
  std::chrono::steady_clock::time_point last_line_ = std::chrono::steady_clock::now();
};

// With --progress each box's line is written as the box is answered, so that
// it stands among the progress lines where it came.
class LiveLog : public Dialogs {
 public:
  LiveLog(ScriptedDialogs& script, ProgressLines& progress, std::ostream& err)
      : script_(script), progress_(progress), err_(err) {}
  std::optional<std::string> Input(const InputRequest& request) override {
    std::optional<std::string> answer = script_.Input(request);
    Written();
    return answer;
  }
  Reply Message(const MessageRequest& request) override {
    const Reply reply = script_.Message(request);
    Written();
    return reply;
  }

 private:
  void Written() {
    err_ << DescribeBox(script_.shown().back()) + "\n";
    err_.flush();
    progress_.Restart();
  }
  ScriptedDialogs& script_;
  ProgressLines& progress_;
  std::ostream& err_;
};

std::optional<std::string> ReadAll(std::istream& stream) {
  std::ostringstream buffer;
  buffer << stream.rdbuf();
  if (stream.bad()) return std::nullopt;
  return std::move(buffer).str();
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err) {
  int digits = kDefaultDigits;
  std::vector<std::string> answers;
  std::vector<Reply> replies;
  std::vector<std::string> positional;
  bool progress = false;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string* {
      return i + 1 < args.size() ? &args[++i] : nullptr;
    };
    if (arg == "--help") {
      out << kUsage;
      return 0;
    }
    if (arg == "--list") {
      for (const Command& command : Commands()) {
        if (command.run != nullptr) out << command.name << '\t' << command.caption << '\n';
      }
      return 0;
    }
    if (arg == "--digits") {
      const std::string* text = value();
      int parsed = 0;
      if (text == nullptr) return UsageError(err, "--digits needs a value");
      const auto res = std::from_chars(text->data(), text->data() + text->size(), parsed);
      if (res.ec != std::errc{} || res.ptr != text->data() + text->size() ||
          parsed < kMinDigits || parsed > kMaxDigits) {
        return UsageError(err, "--digits takes a whole number from 1 to 15");
      }
      digits = parsed;
    } else if (arg == "--answer") {
      const std::string* text = value();
      if (text == nullptr) return UsageError(err, "--answer needs a text");
      answers.push_back(*text);
    } else if (arg == "--reply") {
      const std::string* text = value();
      if (text == nullptr || (*text != "yes" && *text != "no")) {
        return UsageError(err, "--reply takes yes or no");
      }
      replies.push_back(*text == "yes" ? Reply::kYes : Reply::kNo);
    } else if (arg == "--progress") {
      progress = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      return UsageError(err, "unknown option " + arg);
    } else {
      positional.push_back(arg);
    }
  }

  if (positional.empty()) return UsageError(err, "no METHOD given (see --help)");
  if (positional.size() > 2) return UsageError(err, "too many arguments (see --help)");
  // Only the runner's own method names; the window's menu item names are not
  // part of this interface.
  const Command* command = FindCommand(positional[0]);
  if (command == nullptr || command->name != positional[0] || command->run == nullptr) {
    return UsageError(err, "unknown METHOD " + positional[0] + " (see --list)");
  }

  std::optional<std::string> bytes;
  if (positional.size() < 2 || positional[1] == "-") {
    bytes = ReadAll(in);
  } else {
    // A folder opens like a file on some systems and then reads as nothing.
    std::error_code ignored;
    if (std::filesystem::is_directory(positional[1], ignored)) {
      return UsageError(err, "cannot read " + positional[1]);
    }
    std::ifstream file(positional[1], std::ios::binary);
    if (file) bytes = ReadAll(file);
    if (!file || !bytes) return UsageError(err, "cannot read " + positional[1]);
  }
  if (!bytes) return UsageError(err, "cannot read standard input");

  const std::string text = DecodeText(*bytes);
  // The window offers no method while the edit pane is blank.
  if (TrimSpaces(text).empty()) return UsageError(err, "the text is blank");

  ScriptedDialogs dialogs(std::move(answers), std::move(replies));
  ResultPane pane;
  if (progress) {
    ProgressLines lines(err);
    LiveLog live(dialogs, lines, err);
    lines.Line(0);
    RunCommand(*command, live, text, pane, digits, &lines);
  } else {
    RunCommand(*command, dialogs, text, pane, digits);
    err << dialogs.Log();
  }
  out << pane.text();
  out.flush();
  return 0;
}

}  // namespace matcalc
