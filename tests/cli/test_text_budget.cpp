// The text budget every command passes before it reads the edit pane.
#include <gtest/gtest.h>

#include <sys/mman.h>

#include <string>
#include <string_view>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"

namespace matcalc {
namespace {

TEST(TextFitsBudget, CountsTheTextAndWhatReadingItTakes) {
  const std::string_view text = "1 2\r\n3 4";  // 8 bytes
  // A matrix: the text and its normalised copy with a closing "#", and the
  // reading of one entry, beside the program.
  const double matrix_bytes = kProgramBytes + 17 + kEntryReadingBytes;
  EXPECT_TRUE(TextFitsBudget(text, TextUse::kMatrix, matrix_bytes));
  EXPECT_FALSE(TextFitsBudget(text, TextUse::kMatrix, matrix_bytes - 1));
  // A vector: the text and, read in place, its three doubles.
  const double vector_bytes = kProgramBytes + 8 + 3 * sizeof(double) + kEntryReadingBytes;
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

}  // namespace
}  // namespace matcalc
