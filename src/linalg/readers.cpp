#include "linalg/readers.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "linalg/exact_readers.h"
#include "text/evaluator.h"
#include "text/exact_entry.h"
#include "text/text_util.h"

namespace matcalc {
namespace {

// Length of a run of spaces after the replacements of nine, five, three and
// two spaces by one, applied in that order. A run never merges with another
// (the replacements only produce spaces inside it), so each run can be
// shrunk on its own in one pass.
std::size_t CollapsedRunLength(std::size_t run) {
  for (const std::size_t width : {9, 5, 3, 2}) run = run / width + run % width;
  return run;
}

// The first steps of the matrix text in one pass: runs of spaces collapse,
// spaces become ",", ",," becomes ",", and line breaks become "#". Spaces and
// commas only ever meet inside one run of such characters, so each run is
// worked out on its own: its spaces shrink run by run, and the commas that
// result are halved, rounding up.
std::string EntriesAndRows(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 1);  // and the "#" that closes the last row
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c != ' ' && c != ',') {
      out.push_back(c == '\n' || c == '\r' ? '#' : c);
      ++i;
      continue;
    }
    std::size_t commas = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == ',')) {
      if (text[i] == ',') {
        ++commas;
        ++i;
        continue;
      }
      std::size_t spaces = 0;
      while (i < text.size() && text[i] == ' ') ++i, ++spaces;
      commas += CollapsedRunLength(spaces);
    }
    out.append(commas / 2 + commas % 2, ',');
  }
  return out;
}

// The replacement of "#," by "#" (`hash_first`) or of ",#" by "#", in place:
// one scan from the left that drops the comma of each such pair.
void DropCommasBesideHashes(std::string& s, bool hash_first) {
  std::size_t to = 0;
  for (std::size_t from = 0; from < s.size(); ++from) {
    const bool pair = from + 1 < s.size() && s[from] == (hash_first ? '#' : ',') &&
                      s[from + 1] == (hash_first ? ',' : '#');
    if (pair && hash_first) {
      s[to++] = '#';
      ++from;  // the comma
      continue;
    }
    if (pair) continue;  // the comma; the "#" is kept next
    s[to++] = s[from];
  }
  s.resize(to);
}

// The replacements of "#####", "###" and "##" by "#", in that order, run by
// run in place: a run never merges with another.
void CollapseHashRuns(std::string& s) {
  std::size_t to = 0;
  for (std::size_t from = 0; from < s.size();) {
    if (s[from] != '#') {
      s[to++] = s[from++];
      continue;
    }
    std::size_t run = 0;
    while (from < s.size() && s[from] == '#') ++from, ++run;
    for (const std::size_t width : {5, 3, 2}) run = run / width + run % width;
    for (; run > 0; --run) s[to++] = '#';
  }
  s.resize(to);
}

// The matrix text with "#" after every row and "," between entries. Held in
// one string no longer than the text (and its final "#"): every later step
// only shrinks it, in place.
std::string NormalizeMatrixText(std::string_view text) {
  std::string s = EntriesAndRows(TrimSpaces(text));
  DropCommasBesideHashes(s, true);
  DropCommasBesideHashes(s, false);
  s += '#';  // within the capacity reserved for the text
  CollapseHashRuns(s);
  const std::size_t first = s.find_first_not_of(" #");
  s.erase(0, first == std::string::npos ? s.size() : first);
  return s;
}

// The row of the normalised text `s` that starts at `offset`, with its "#";
// empty past the last row. `offset` moves to the next row.
std::string_view NextRow(std::string_view s, std::size_t& offset) {
  const std::size_t hash = s.find('#', offset);
  const std::size_t row_end = hash == std::string_view::npos ? offset : hash + 1;
  const std::string_view row = s.substr(offset, row_end - offset);
  offset = row_end;
  return row;
}

// Calls `entry(k, text)` for the entries k = 1, 2, ... of a row of the
// normalised text, at most `limit` of them; an empty entry has an empty text.
// The row's second pass through the space and comma replacements: no spaces
// are left by now, so only the halving of comma runs remains (it turns the
// ",," of a comma between spaces into ","). A run of r commas thus separates
// entries like (r + 1) / 2 single commas, that is with (r - 1) / 2 empty
// entries between them; the row is read as if halved, without a copy.
template <typename Entry>
void ForEachRowEntry(std::string_view row, int limit, Entry entry) {
  std::size_t start = 0;
  std::size_t empty_entries = 0;  // still to be read before `start`
  for (int k = 1;; ++k) {
    if (empty_entries > 0) {
      --empty_entries;
      entry(k, std::string_view{});
    } else {
      const std::size_t comma = row.find(',', start);
      if (comma == std::string_view::npos) {
        // The last entry still carries the row's "#": the evaluator reads it
        // as the end of the expression.
        entry(k, row.substr(start));
        return;
      }
      entry(k, row.substr(start, comma - start));
      std::size_t run_end = comma;
      while (run_end < row.size() && row[run_end] == ',') ++run_end;
      empty_entries = (run_end - comma - 1) / 2;
      start = run_end;
    }
    if (k + 1 > limit) return;
  }
}

// Reads `n` rows of at most `limit` entries, each by `read`, and gives each
// row to `store(i, buffer)`. The row buffer is not cleared between rows: a
// short row keeps the values of the row above in its higher places.
// The places no row has filled yet hold `empty`.
template <typename Cell, typename Read, typename Store>
void ReadRowsWith(int n, int limit, std::string_view text, WorkMeter* meter, const Cell& empty,
                  Read read, Store store) {
  const std::string s = NormalizeMatrixText(text);
  std::vector<Cell> buffer(static_cast<std::size_t>(limit) + 1, empty);
  std::size_t offset = 0;  // the rows before it have been read
  for (int i = 1; i <= n; ++i) {
    const std::string_view row = NextRow(s, offset);
    ForEachRowEntry(row, limit, [&](int k, std::string_view entry) {
      buffer[static_cast<std::size_t>(k)] = read(entry);
    });
    store(i, buffer);
    Advance(meter, static_cast<double>(row.size()));
  }
}

// Reads `n` rows of at most `limit` entries into columns 1..limit of `a`.
void ReadRows(Matrix& a, int n, int limit, std::string_view text, WorkMeter* meter) {
  ReadRowsWith<double>(
      n, limit, text, meter, 0.0, [](std::string_view entry) { return EvaluateEntry(entry); },
      [&](int i, const std::vector<double>& buffer) {
        double* dest = a.row(i);
        for (int j = 1; j <= limit; ++j) dest[j] = buffer[static_cast<std::size_t>(j)];
      });
}

// The same into `a` and `exact`; true when every entry in columns
// 1..exact_columns is exact.
bool ReadRowsExact(Matrix& a, RationalMatrix& exact, int n, int limit, int exact_columns,
                   std::string_view text, WorkMeter* meter) {
  bool all_exact = true;
  ReadRowsWith<ExactEntryReading>(
      n, limit, text, meter, ExactEntryReading{0.0, Rational(0), true},
      [](std::string_view entry) { return ReadEntryExact(entry); },
      [&](int i, const std::vector<ExactEntryReading>& buffer) {
        double* dest = a.row(i);
        Rational* exact_dest = exact.row(i);
        for (int j = 1; j <= limit; ++j) {
          const ExactEntryReading& cell = buffer[static_cast<std::size_t>(j)];
          dest[j] = cell.value;
          if (cell.exact)
            exact_dest[j] = *cell.exact;
          else if (j <= exact_columns)
            all_exact = false;
        }
      });
  return all_exact;
}

// Characters the normalisation never adds, drops or changes: all but the
// separators of entries and rows.
bool IsEntryCharacter(char c) { return c != ' ' && c != ',' && c != '#' && c != '\r' && c != '\n'; }

// The first line of a vector text as its reader sees it: after the spaces
// and line breaks in front, up to the first line break or "#", without the
// spaces at its end.
std::string_view VectorLine(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \r\n");
  if (start == std::string_view::npos) return {};
  text.remove_prefix(start);
  text = text.substr(0, text.find_first_of("\r\n#"));
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

// The spaces a run of `run` spaces leaves in a vector text: the chain of
// nine, five, three and two, and two once more.
std::size_t VectorSeparators(std::size_t run) {
  run = CollapsedRunLength(run);
  return run / 2 + run % 2;
}

// Calls `piece` with every entry of the vector line in order: the line split
// at single spaces once its runs of spaces have shrunk, a run that leaves s
// spaces giving s - 1 empty entries.
template <typename Piece>
void ForEachVectorPiece(std::string_view line, Piece piece) {
  if (line.empty()) return;
  std::size_t start = 0;
  while (true) {
    const std::size_t space = line.find(' ', start);
    piece(line.substr(start, space == std::string_view::npos ? line.npos : space - start));
    if (space == std::string_view::npos) return;
    std::size_t run_end = space;
    while (run_end < line.size() && line[run_end] == ' ') ++run_end;
    for (std::size_t e = VectorSeparators(run_end - space); e > 1; --e) piece({});
    start = run_end;
  }
}

}  // namespace

void WalkMatrixText(std::string_view text, const std::function<void(const TextEntry&)>& visit) {
  const std::string_view trimmed = TrimSpaces(text);
  const std::string s = NormalizeMatrixText(trimmed);
  // Entry characters come through the normalisation one for one and in
  // order, and an entry is a run of them with nothing dropped in between:
  // the i-th entry character of `s` is the i-th of the text. Two cursors
  // move forward together.
  std::size_t in_s = 0;
  std::size_t in_text = static_cast<std::size_t>(trimmed.data() - text.data());
  const auto text_offset = [&](std::size_t target) {
    for (; in_s < target; ++in_s) {
      if (!IsEntryCharacter(s[in_s])) continue;
      while (in_text < text.size() && !IsEntryCharacter(text[in_text])) ++in_text;
      ++in_text;
    }
    while (in_text < text.size() && !IsEntryCharacter(text[in_text])) ++in_text;
    return in_text;
  };
  std::size_t offset = 0;
  for (int i = 1; offset < s.size(); ++i) {
    const std::string_view row = NextRow(s, offset);
    if (row.empty()) break;  // the normalised text ends every row with "#"
    ForEachRowEntry(row, std::numeric_limits<int>::max(), [&](int k, std::string_view entry) {
      TextEntry e{i, k, entry, 0, 0};
      std::size_t length = entry.size();
      while (length > 0 && entry[length - 1] == '#') --length;
      if (length > 0) {
        e.begin = text_offset(static_cast<std::size_t>(entry.data() - s.data()));
        e.end = e.begin + length;
      } else {
        e.begin = e.end = text_offset(in_s);
      }
      visit(e);
    });
  }
}

void WalkVectorText(std::string_view text, const std::function<void(const TextEntry&)>& visit) {
  const std::string_view line = VectorLine(text);
  std::size_t end = line.empty() ? 0 : static_cast<std::size_t>(line.data() - text.data());
  int k = 0;
  ForEachVectorPiece(line, [&](std::string_view piece) {
    TextEntry e{1, ++k, piece, end, end};
    if (!piece.empty()) {
      e.begin = static_cast<std::size_t>(piece.data() - text.data());
      e.end = e.begin + piece.size();
      end = e.end;
    }
    visit(e);
  });
}

void ReadMatrix(Matrix& a, int n, std::string_view text, WorkMeter* meter) {
  if (n < 0) n = 0;  // callers ask for n >= 1; an empty matrix is the safe answer
  a = Matrix(n, n);
  ReadRows(a, n, n, text, meter);
}

void ReadMatrix(Matrix& a, int m, int n, std::string_view text, WorkMeter* meter) {
  // Callers ask for m, n >= 1; an empty matrix is the safe answer otherwise.
  if (m < 1 || n < 1) m = n = 0;
  a = Matrix(m, n);
  ReadRows(a, m, n, text, meter);
}

void ReadSquareMatrix(Matrix& a, int n, std::string_view text, WorkMeter* meter) {
  // Not allocated as agreed, or no rows at all: nothing to fill.
  if (n < 1 || a.rows() < n || a.cols() < n + 1) return;
  ReadRows(a, n, n + 1, text, meter);
}

void ReadVector(std::string_view text, Vector& v) {
  const std::string_view line = VectorLine(text);
  std::size_t m = 0;
  ForEachVectorPiece(line, [&](std::string_view) { ++m; });
  // Vector counts its components in an int; a longer line is beyond any
  // budget long before.
  if (m > static_cast<std::size_t>(std::numeric_limits<int>::max() - 1)) m = 0;
  v = Vector(static_cast<int>(m));
  int j = 0;
  ForEachVectorPiece(line, [&](std::string_view piece) {
    if (j < v.size()) v(++j) = EvaluateEntry(piece);
  });
}

bool ReadMatrixExact(Matrix& a, RationalMatrix& exact, int n, std::string_view text,
                     WorkMeter* meter) {
  if (n < 0) n = 0;
  a = Matrix(n, n);
  exact = RationalMatrix(n, n);
  return ReadRowsExact(a, exact, n, n, n, text, meter);
}

bool ReadMatrixExact(Matrix& a, RationalMatrix& exact, int m, int n, std::string_view text,
                     WorkMeter* meter) {
  if (m < 1 || n < 1) m = n = 0;
  a = Matrix(m, n);
  exact = RationalMatrix(m, n);
  return ReadRowsExact(a, exact, m, n, n, text, meter);
}

bool ReadSquareMatrixExact(Matrix& a, RationalMatrix& exact, int n, std::string_view text,
                           int exact_columns, WorkMeter* meter) {
  if (n < 1 || a.rows() < n || a.cols() < n + 1) return true;
  exact = RationalMatrix(a.rows(), a.cols());
  return ReadRowsExact(a, exact, n, n + 1, exact_columns, text, meter);
}

bool ReadVectorExact(std::string_view text, Vector& v, RationalVector& exact) {
  ReadVector(text, v);
  exact = RationalVector(v.size());
  bool all_exact = true;
  int j = 0;
  ForEachVectorPiece(VectorLine(text), [&](std::string_view piece) {
    if (j >= v.size()) return;
    const ExactEntryReading reading = ReadEntryExact(piece);
    ++j;
    if (reading.exact)
      exact(j) = *reading.exact;
    else
      all_exact = false;
  });
  return all_exact;
}

RationalMatrix ToRationalMatrix(const Matrix& a) {
  RationalMatrix q(a.rows(), a.cols());
  for (int i = 0; i <= a.rows(); ++i) {
    for (int j = 0; j <= a.cols(); ++j) q(i, j) = RationalFromDouble(a(i, j));
  }
  return q;
}

Matrix ToDoubleMatrix(const RationalMatrix& a) {
  Matrix d(a.rows(), a.cols());
  for (int i = 0; i <= a.rows(); ++i) {
    for (int j = 0; j <= a.cols(); ++j) d(i, j) = RationalToDouble(a(i, j));
  }
  return d;
}

void ReadVector(std::string& text, Vector& v) {
  ReadVector(std::string_view(text), v);
  // What the reader worked on, made in place: "0 " in front of the first
  // line with its runs of spaces shrunk.
  const std::string_view line = VectorLine(text);
  if (line.empty()) {
    text.assign(1, '0');
    return;
  }
  const std::size_t end = static_cast<std::size_t>(line.data() - text.data()) + line.size();
  std::size_t to = 0;
  for (std::size_t from = end - line.size(); from < end;) {
    if (text[from] != ' ') {
      text[to++] = text[from++];
      continue;
    }
    std::size_t run = 0;
    while (from < end && text[from] == ' ') ++from, ++run;
    for (std::size_t k = VectorSeparators(run); k > 0; --k) text[to++] = ' ';
  }
  text.resize(to + 2);  // within the capacity unless nothing shrank
  std::copy_backward(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(to), text.end());
  text[0] = '0';
  text[1] = ' ';
}

std::size_t TextReadingBytes(std::string_view text, TextUse use) {
  // One entry is read at a time, in at most kEntryReadingBytes.
  if (use == TextUse::kMatrix) return text.size() + 1 + kEntryReadingBytes;  // the normalised copy
  // The vector is read from the text in place: only the vector itself.
  std::size_t m = 0;
  ForEachVectorPiece(VectorLine(text), [&](std::string_view) { ++m; });
  return (m + 1) * sizeof(double) + kEntryReadingBytes;
}

}  // namespace matcalc
