// The bundled examples: each file is there, and every method it is listed
// for runs on it through the runner without refusing it.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/runner.h"
#include "commands/registry.h"
#include "desk/examples.h"
#include "linalg/reading_hints.h"

namespace matcalc {
namespace {

std::string ReadExample(const Example& example) {
  std::ifstream in(std::string(MATCALC_RESOURCES_DIR) + "/" + ExamplePath(example),
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int Rows(const std::string& text) {
  std::istringstream lines(text);
  int rows = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find_first_not_of(" \t\r") != std::string::npos) ++rows;
  }
  return rows;
}

// What a user would type into the method's boxes for an example of `order`
// rows; the boxes after these are cancelled (the initial vectors keep their
// defaults). The matrix menu's boxes take what they offer: the text's rows
// and the first row's entries (one fewer unknowns for a system).
std::vector<std::string> Answers(std::string_view method, int order, const TextShape& shape) {
  const std::string n = std::to_string(order);
  if (FindCommand(method)->menu == CommandMenu::kMatrices) {
    if (method == "curve-fit") return {std::to_string(shape.rows), "2"};
    const bool augmented = method == "general-solution" || method == "least-squares";
    const int columns = shape.first_row_entries - (augmented ? 1 : 0);
    return {std::to_string(shape.rows), std::to_string(columns)};
  }
  if (method == "vector-norms") return {};
  if (method == "power" || method == "inverse-power" || method == "jacobi" ||
      method == "jacobi-threshold") {
    return {n, "0.0001"};
  }
  if (method == "shift") return {n, "0.0001", "1"};
  if (method == "qr-eigenvalues") return {n, "1e-10", "300"};
  if (method == "jacobi-iteration" || method == "gauss-seidel") return {n, "0.0001", "100"};
  if (method == "sor") return {n, "0.0001", "100", "1.2"};
  return {n};
}

TEST(Examples, EveryMethodHasOneAndRunsOnItWithoutRefusing) {
  std::set<std::string_view> covered;
  for (const Example& example : Examples()) {
    const std::string text = ReadExample(example);
    ASSERT_FALSE(text.empty()) << ExamplePath(example);
    for (const std::string_view method : example.commands) {
      SCOPED_TRACE(std::string(example.file) + " " + std::string(method));
      ASSERT_NE(FindCommand(method), nullptr);
      covered.insert(method);
      std::vector<std::string> args;
      for (const std::string& answer : Answers(method, Rows(text), ShapeOfText(text))) {
        args.push_back("--answer");
        args.push_back(answer);
      }
      args.emplace_back(method);
      std::istringstream in(text);
      std::ostringstream out;
      std::ostringstream err;
      ASSERT_EQ(RunCli(args, in, out, err), 0) << err.str();
      // Only the input boxes answered above: no message box (a refusal, a
      // value the method cannot take), and no trace that gives up.
      std::istringstream boxes(err.str());
      for (std::string line; std::getline(boxes, line);) {
        EXPECT_TRUE(line.starts_with("input\t")) << line;
      }
      // The row reductions state what counts as zero ("…的数视为零"): no
      // refusal.
      std::string trace = out.str();
      for (std::size_t at; (at = trace.find("视为零")) != std::string::npos;) trace.erase(at, 9);
      for (const char* refusal : {"不适用", "不是", "为零", "未收敛", "太大", "无解", "不可逆"}) {
        EXPECT_EQ(trace.find(refusal), std::string::npos) << refusal << "\n" << out.str();
      }
    }
  }
  for (const Command& command : Commands()) {
    EXPECT_TRUE(covered.contains(command.name)) << command.name << " has no example";
  }
}

}  // namespace
}  // namespace matcalc
