#include "linalg/reading_hints.h"

#include <algorithm>
#include <limits>

#include "text/evaluator.h"

namespace matcalc {

TextReading DescribeText(std::string_view text, TextUse use) {
  TextReading reading;
  // The running least number of entries of the rows so far: rows 1..i fill
  // an order-i matrix while it stays at least i. Once it fails it fails for
  // every later row, so the last row where it held gives the order.
  int fewest_entries = std::numeric_limits<int>::max();
  int row = 0;
  int entries = 0;
  const auto end_row = [&] {
    if (row == 0) return;
    if (row == 1) reading.first_row_entries = entries;
    fewest_entries = std::min(fewest_entries, entries);
    if (fewest_entries >= row && reading.largest_order == row - 1) reading.largest_order = row;
  };
  const auto visit = [&](const TextEntry& entry) {
    if (entry.row != row) {
      end_row();
      row = entry.row;
      entries = 0;
    }
    ++entries;
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
  end_row();
  reading.rows = row;
  if (use == TextUse::kVector) reading.largest_order = reading.first_row_entries;
  return reading;
}

}  // namespace matcalc
