#include "support/golden.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"

namespace matcalc::testing {

MethodOutcome RunMethod(std::string_view name, std::string_view text1,
                        std::vector<std::string> answers, std::vector<Reply> replies, int digits,
                        std::string text2, bool exact) {
  const Command* command = FindCommand(name);
  EXPECT_NE(command, nullptr) << "no command " << name;
  if (command == nullptr) return {};
  ScriptedDialogs dialogs(std::move(answers), std::move(replies));
  TraceBuffer pane =
      RunCommand(*command, dialogs, text1, std::move(text2), digits, {}, nullptr, exact);
  return {pane.text(), pane.changed(), dialogs.Log()};
}

std::string Golden(std::string_view file) {
  const char* dir = std::getenv("MATCALC_GOLDEN_DIR");
  std::string path = dir != nullptr ? dir : MATCALC_GOLDEN_DIR_DEFAULT;
  path += '/';
  path += file;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

namespace {

std::string Visible(std::string_view line) {
  std::string out;
  for (const char c : line) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

// The line starting at `pos`, with its line feed.
std::string_view LineAt(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return {};
  const std::size_t end = text.find('\n', pos);
  return text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos + 1);
}

}  // namespace

::testing::AssertionResult SameText(std::string_view expected, std::string_view actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::size_t first = 0;
  while (first < expected.size() && first < actual.size() && expected[first] == actual[first]) {
    ++first;
  }
  const std::size_t line_start = first == 0 ? 0 : expected.substr(0, first).find_last_of('\n') + 1;
  std::size_t line_number = 1;
  for (std::size_t i = 0; i < line_start; ++i) line_number += expected[i] == '\n';
  return ::testing::AssertionFailure()
         << "texts differ at line " << line_number << " (byte " << first << ")\n"
         << "  expected: \"" << Visible(LineAt(expected, line_start)) << "\"\n"
         << "  actual:   \"" << Visible(LineAt(actual, line_start)) << "\"\n"
         << "  (expected " << expected.size() << " bytes, actual " << actual.size() << ")";
}

std::string CrLfLines(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (const std::string_view line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::vector<std::string> SplitCrLf(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string_view::npos;
       start = end + 2) {
    lines.emplace_back(text.substr(start, end - start));
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace matcalc::testing
