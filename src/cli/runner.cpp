#include "cli/runner.h"

#include <charconv>
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
    "usage: matcalc-cli [--digits D] [--answer TEXT]... [--reply yes|no]... METHOD [FILE]\n"
    "       matcalc-cli --list\n"
    "       matcalc-cli --help\n"
    "\n"
    "Runs one method on the matrix or vector text in FILE (or standard input, also\n"
    "for \"-\") and prints the result pane's text. Each --answer is typed into the\n"
    "next input box and confirmed; later boxes are cancelled. Each --reply answers\n"
    "the next Yes/No question; later questions get their default button. --digits\n"
    "sets the decimal digits (1 to 15, default 6). Every dialog box shown is\n"
    "reported on standard error, one line each. --list names the methods.\n";

int UsageError(std::ostream& err, std::string_view message) {
  err << "matcalc-cli: " << message << '\n';
  return 2;
}

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
  const ResultPane pane =
      RunCommand(*command, dialogs, text, std::string(), digits, kRunnerCosts);
  err << dialogs.Log();
  out << pane.text();
  out.flush();
  return 0;
}

}  // namespace matcalc
