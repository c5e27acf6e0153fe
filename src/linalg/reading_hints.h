// How a text will be read, told while it is typed: the shape the readers see
// and the entries the evaluator reads only in part or not at all.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "linalg/readers.h"

namespace matcalc {

// An entry that counts for less than its text: the evaluator stopped before
// its end (or found nothing to read) and `value` is what it read.
struct PartlyReadEntry {
  std::size_t begin = 0;  // bytes of the entry in the text
  std::size_t end = 0;
  int row = 0;     // from 1
  int column = 0;  // from 1
  double value = 0;
};

// The shape of a matrix text as the readers cut it.
struct TextShape {
  int rows = 0;               // rows the reader finds (a vector: 1 line, or 0)
  int first_row_entries = 0;  // entries of the first row
  // The largest order n whose rows 1..n all hold at least n entries: every
  // entry of the n x n matrix then comes from the text itself. A vector: its
  // length.
  int largest_order = 0;
  // The fewest entries of any row (0 without rows).
  int fewest_entries = 0;

  // Whether every entry of the rows x first_row_entries matrix comes from
  // the text itself, and that matrix is not square.
  bool IsRectangular() const {
    return rows > 0 && first_row_entries > 0 && rows != first_row_entries &&
           fewest_entries >= first_row_entries;
  }
};

struct TextReading : TextShape {
  std::size_t partly_read_count = 0;         // all of them
  std::vector<PartlyReadEntry> partly_read;  // the first kMaxListedEntries, in text order
};

// Enough to mark every entry of a screenful or two.
inline constexpr std::size_t kMaxListedEntries = 2000;

// Reads `text` (the edit pane's text, untrimmed; offsets are into it) as the
// commands would with `use`: the same cutting into rows and entries and the
// same evaluation, every entry of every row. Linear in the text.
TextReading DescribeText(std::string_view text, TextUse use = TextUse::kMatrix);

// The shape alone of a matrix text, without evaluating its entries: what the
// commands offer as their m and n.
TextShape ShapeOfText(std::string_view text);

}  // namespace matcalc
