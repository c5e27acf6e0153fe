// Reading matrices and vectors from the edit pane's text. The readers never
// fail: whatever they cannot read becomes numbers by their rules.
#pragma once

#include <string_view>

#include "linalg/matrix.h"
#include "linalg/work_meter.h"

namespace matcalc {

// Allocates `a` as n x n (all 0) and fills it from `text`: rows are broken at
// line breaks or "#", entries at spaces or ",". A short row keeps the values
// of the row above in its missing places; surplus entries and rows are
// ignored. The text of each row read counts as work on `meter`, a byte each.
void ReadMatrix(Matrix& a, int n, std::string_view text, WorkMeter* meter = nullptr);

// Fills rows 1..n, columns 1..n+1 of `a`, which the caller has allocated as
// Matrix(n, n + 1) (or larger), with the same rules and a row limit of n+1.
void ReadSquareMatrix(Matrix& a, int n, std::string_view text, WorkMeter* meter = nullptr);

// Reads the first line of `text` as a vector; only spaces separate entries.
// `text` is left normalised. An empty text gives an empty vector.
void ReadVector(std::string& text, Vector& v);

}  // namespace matcalc
