// Reading matrices and vectors from the edit pane's text. The readers never
// fail: whatever they cannot read becomes numbers by their rules.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "linalg/matrix.h"
#include "linalg/work_meter.h"

namespace matcalc {

// Allocates `a` as n x n (all 0) and fills it from `text`: rows are broken at
// line breaks or "#", entries at spaces or ",". A short row keeps the values
// of the row above in its missing places; surplus entries and rows are
// ignored. The text of each row read counts as work on `meter`, a byte each.
void ReadMatrix(Matrix& a, int n, std::string_view text, WorkMeter* meter = nullptr);

// Allocates `a` as m x n (all 0) and fills it by the same rules with m rows
// and a row limit of n: a matrix of any shape, or with n one more than the
// unknowns, the augmented matrix of a system. A short row keeps the values of
// the row above; surplus entries and rows are ignored; a missing row reads
// its first entry as 0 and repeats the rest of the row above.
void ReadMatrix(Matrix& a, int m, int n, std::string_view text, WorkMeter* meter = nullptr);

// Fills rows 1..n, columns 1..n+1 of `a`, which the caller has allocated as
// Matrix(n, n + 1) (or larger), with the same rules and a row limit of n+1.
void ReadSquareMatrix(Matrix& a, int n, std::string_view text, WorkMeter* meter = nullptr);

// Reads the first line of `text` as a vector; only spaces separate entries.
// An empty text gives an empty vector. Needs no memory beyond the vector.
void ReadVector(std::string_view text, Vector& v);
// The same, leaving `text` normalised: "0 " in front of its first line, whose
// runs of spaces have shrunk.
void ReadVector(std::string& text, Vector& v);

// One entry of a text as the readers cut it.
struct TextEntry {
  int row = 0;            // from 1
  int column = 0;         // from 1
  std::string_view text;  // what the evaluator is given (the last of a row ends with "#")
  std::size_t begin = 0;  // its bytes in the text walked, without the "#";
  std::size_t end = 0;    // an empty entry has begin == end
};

// Every entry of every row of `text` (the edit pane's text, before trimming)
// in the order the matrix readers read them, with no limit of rows or
// entries. Offsets are into `text`.
void WalkMatrixText(std::string_view text, const std::function<void(const TextEntry&)>& visit);
// Every entry of the line the vector reader reads, as it reads it.
void WalkVectorText(std::string_view text, const std::function<void(const TextEntry&)>& visit);

// How a command reads the edit pane's text.
enum class TextUse { kMatrix, kVector };

// The memory, in bytes, that reading `text` takes beyond the text itself,
// whatever its entries are: the matrix readers' normalised copy (the text's
// size and a "#"), or the vector, read from the text in place; and the
// reading of one entry at a time (kEntryReadingBytes). Linear in the text,
// allocates nothing.
std::size_t TextReadingBytes(std::string_view text, TextUse use);

}  // namespace matcalc
