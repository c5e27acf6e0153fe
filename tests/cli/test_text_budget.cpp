// The text budget every command passes before it reads the edit pane.
#include <gtest/gtest.h>

#include <sys/mman.h>

#include <string>
#include <string_view>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "direct/estimates.h"
#include "eigenvalue/estimates.h"
#include "systems/direct_estimates.h"
#include "systems/iterative.h"

namespace matcalc {
namespace {

TEST(TextFitsBudget, CountsTheTextAndWhatReadingItTakes) {
  const std::string_view text = "1 2\r\n3 4";  // 8 bytes
  // A matrix: the text and its normalised copy with a closing "#", and the
  // reading of one entry, beside the program and the smallest run.
  const double matrix_bytes = kProgramBytes + kSmallestRunBytes + 17 + kEntryReadingBytes;
  EXPECT_TRUE(TextFitsBudget(text, TextUse::kMatrix, matrix_bytes));
  EXPECT_FALSE(TextFitsBudget(text, TextUse::kMatrix, matrix_bytes - 1));
  // A vector: the text and, read in place, its three doubles.
  const double vector_bytes =
      kProgramBytes + kSmallestRunBytes + 8 + 3 * sizeof(double) + kEntryReadingBytes;
  EXPECT_TRUE(TextFitsBudget(text, TextUse::kVector, vector_bytes));
  EXPECT_FALSE(TextFitsBudget(text, TextUse::kVector, vector_bytes - 1));
}

// A text of `size` zero bytes that takes no memory until it is read: the
// pages of an untouched anonymous mapping.
class UntouchedText {
 public:
  explicit UntouchedText(std::size_t size) : size_(size) {
    data_ = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  }
  ~UntouchedText() {
    if (data_ != MAP_FAILED) ::munmap(data_, size_);
  }
  bool ok() const { return data_ != MAP_FAILED; }
  std::string_view text() const { return {static_cast<const char*>(data_), size_}; }

 private:
  std::size_t size_;
  void* data_;
};

// The real budget, with texts just below and just above it: the largest
// text still runs the command (here up to its cancelled order prompt), one
// byte more is refused with a message box and leaves the pane as it was.
TEST(RunCommand, RefusesATextBeyondTheMemoryBudget) {
  for (const std::size_t size : {kLargestTextBytes, kLargestTextBytes + 1}) {
    const UntouchedText big(size);
    ASSERT_TRUE(big.ok());
    ScriptedDialogs dialogs;
    TraceBuffer pane("earlier trace");
    RunCommand(*FindCommand("determinant"), dialogs, big.text(), pane, kDefaultDigits, {});
    EXPECT_EQ(pane.text(), "earlier trace");
    EXPECT_FALSE(pane.changed());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    if (size == kLargestTextBytes) {
      EXPECT_TRUE(dialogs.shown()[0].is_input);
    } else {
      EXPECT_EQ(dialogs.Log(), "message\t\t文本太大，超出了本程序的计算能力。\tok\tok\n");
    }
  }
}

// The longest text a front end reads leaves room for any command at order 1:
// what refuses it is never the order.
TEST(RunCommand, TheLargestTextFitsTheSmallestRun) {
  const UntouchedText big(kLargestTextBytes);
  ASSERT_TRUE(big.ok());
  for (const WorkEstimate& estimate :
       {GaussWork(1, 15), ConditionWork(1, 15), IterativeWork(1, kDefaultIterationLimit, 15),
        JacobiWork(1, 15), InverseWork(1, 15)}) {
    ScriptedDialogs dialogs;
    TraceBuffer pane;
    Boxes boxes;
    Frame frame(boxes, big.text(), pane, 15);
    EXPECT_FALSE(RunAnswering(dialogs, boxes, frame.RefuseIfTooLarge(estimate))) << dialogs.Log();
  }
}

// When the text leaves no room for any order (a front end that keeps copies
// of it, a device slower than its reading), the refusal says the text is too
// large; so does every refusal of the vector norms, which ask no order.
TEST(RunCommand, ARefusalTheTextDecidesNamesTheText) {
  const std::string text_refusal = "message\t\t文本太大，超出了本程序的计算能力。\tok\tok\n";
  const std::string order_refusal = "message\t\t阶数太大，超出了本程序的计算能力。\tok\tok\n";
  const UntouchedText big(kLargestTextBytes);
  ASSERT_TRUE(big.ok());
  for (const FrontEndCosts& costs :
       {FrontEndCosts{.text_copies = 1}, FrontEndCosts{.work_scale = 2}}) {
    for (const char* method : {"determinant", "gauss", "jacobi-iteration", "power"}) {
      SCOPED_TRACE(method);
      ScriptedDialogs dialogs({"1"});
      TraceBuffer pane("earlier trace");
      RunCommand(*FindCommand(method), dialogs, big.text(), pane, kDefaultDigits, costs);
      EXPECT_TRUE(dialogs.Log().ends_with(text_refusal)) << dialogs.Log();
      EXPECT_FALSE(pane.changed());
    }
  }
  // A short text with an order too large is still the order's refusal.
  ScriptedDialogs dialogs({"32767"});
  TraceBuffer pane;
  RunCommand(*FindCommand("determinant"), dialogs, "1 2\r\n3 4", pane, kDefaultDigits, {});
  EXPECT_TRUE(dialogs.Log().ends_with(order_refusal)) << dialogs.Log();
  // A vector whose trace takes longer than the budget allows, on a device
  // where its text alone would be read in time, is a text too large too.
  std::string components;
  for (int i = 0; i < 1 << 20; ++i) components += "1/3 ";
  ScriptedDialogs vector_dialogs;
  TraceBuffer vector_pane;
  RunCommand(*FindCommand("vector-norms"), vector_dialogs, components, vector_pane, kDefaultDigits,
             {.work_scale = 120});
  EXPECT_EQ(vector_dialogs.Log(), text_refusal);
}

}  // namespace
}  // namespace matcalc
