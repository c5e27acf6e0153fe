#include "linalg/reading_hints.h"

#include <algorithm>
#include <limits>

#include "text/evaluator.h"

namespace matcalc {
namespace {

// Counts the rows and entries of a walk over a matrix text, entry by entry.
class ShapeTally {
 public:
  explicit ShapeTally(TextShape& shape) : shape_(shape) {}

  void Count(const TextEntry& entry) {
    if (entry.row != row_) {
      EndRow();
      row_ = entry.row;
      entries_ = 0;
    }
    ++entries_;
  }

  // After the last entry.
  void Finish() {
    EndRow();
    shape_.rows = row_;
    shape_.fewest_entries = row_ > 0 ? fewest_entries_ : 0;
  }

 private:
  void EndRow() {
    if (row_ == 0) return;
    if (row_ == 1) shape_.first_row_entries = entries_;
    // The running least number of entries of the rows so far: rows 1..i fill
    // an order-i matrix while it stays at least i. Once it fails it fails for
    // every later row, so the last row where it held gives the order.
    fewest_entries_ = std::min(fewest_entries_, entries_);
    if (fewest_entries_ >= row_ && shape_.largest_order == row_ - 1) shape_.largest_order = row_;
  }

  TextShape& shape_;
  int fewest_entries_ = std::numeric_limits<int>::max();
  int row_ = 0;
  int entries_ = 0;
};

}  // namespace

TextShape ShapeOfText(std::string_view text) {
  TextShape shape;
  ShapeTally tally(shape);
  WalkMatrixText(text, [&](const TextEntry& entry) { tally.Count(entry); });
  tally.Finish();
  return shape;
}

TextReading DescribeText(std::string_view text, TextUse use) {
  TextReading reading;
  ShapeTally tally(reading);
  const auto visit = [&](const TextEntry& entry) {
    tally.Count(entry);
    if (entry.begin == entry.end) return;  // nothing typed: 0, as expected
    const EntryReading read = ReadEntry(entry.text);
    if (read.whole) return;
    if (reading.partly_read_count++ < kMaxListedEntries) {
      reading.partly_read.push_back({entry.begin, entry.end, entry.row, entry.column, read.value});
    }
  };
  if (use == TextUse::kVector) {
    WalkVectorText(text, visit);
  } else {
    WalkMatrixText(text, visit);
  }
  tally.Finish();
  if (use == TextUse::kVector) reading.largest_order = reading.first_row_entries;
  return reading;
}

}  // namespace matcalc
