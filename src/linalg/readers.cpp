#include "linalg/readers.h"

#include <string>
#include <vector>

#include "text/evaluator.h"
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

std::string CollapseSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != ' ') {
      out.push_back(text[i++]);
      continue;
    }
    std::size_t run = 0;
    while (i < text.size() && text[i] == ' ') ++i, ++run;
    out.append(CollapsedRunLength(run), ' ');
  }
  return out;
}

// Halves every run of commas, rounding up: the replacement of ",," by ",".
std::string HalveCommaRuns(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != ',') {
      out.push_back(text[i++]);
      continue;
    }
    std::size_t run = 0;
    while (i < text.size() && text[i] == ',') ++i, ++run;
    out.append(run / 2 + run % 2, ',');
  }
  return out;
}

void LineBreaksToHashes(std::string& s) {
  for (char& c : s) {
    if (c == '\n' || c == '\r') c = '#';
  }
}

// The replacements of "#####", "###" and "##" by "#", in that order, run by
// run like the spaces above.
std::string CollapseHashRuns(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '#') {
      out.push_back(text[i++]);
      continue;
    }
    std::size_t run = 0;
    while (i < text.size() && text[i] == '#') ++i, ++run;
    for (const std::size_t width : {5, 3, 2}) run = run / width + run % width;
    out.append(run, '#');
  }
  return out;
}

// The first steps of the matrix text in one pass: runs of spaces collapse,
// spaces become ",", ",," becomes ",", and line breaks become "#". Spaces and
// commas only ever meet inside one run of such characters, so each run is
// worked out on its own: its spaces shrink run by run, and the commas that
// result are halved, rounding up.
std::string EntriesAndRows(std::string_view text) {
  std::string out;
  out.reserve(text.size());
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

// The matrix text with "#" after every row and "," between entries.
std::string NormalizeMatrixText(std::string_view text) {
  std::string s = EntriesAndRows(TrimSpaces(text));
  s = ReplaceAll(s, "#,", "#");
  s = ReplaceAll(s, ",#", "#");
  s += '#';
  s = CollapseHashRuns(s);
  const std::size_t first = s.find_first_not_of(" #");
  s.erase(0, first == std::string::npos ? s.size() : first);
  return s;
}

// Reads `n` rows of at most `limit` entries into columns 1..limit of `a`.
// The row buffer is not cleared between rows: a short row keeps the values
// of the row above in its higher places.
void ReadRows(Matrix& a, int n, int limit, std::string_view text, WorkMeter* meter) {
  const std::string s = NormalizeMatrixText(text);
  std::vector<double> buffer(static_cast<std::size_t>(limit) + 1, 0.0);
  std::size_t offset = 0;  // the rows before it have been read
  std::string entry;
  for (int i = 1; i <= n; ++i) {
    const std::size_t hash = s.find('#', offset);
    const std::size_t row_end = hash == std::string::npos ? offset : hash + 1;
    // The row's second pass through the space and comma replacements: no
    // spaces are left by now, so only the halving of comma runs remains (it
    // turns the ",," of a comma between spaces into ",").
    const std::string row = HalveCommaRuns(std::string_view(s).substr(offset, row_end - offset));
    std::size_t start = 0;
    for (int k = 1;; ++k) {
      const std::size_t comma = row.find(',', start);
      if (comma == std::string::npos) {
        // The last entry still carries the row's "#": the evaluator reads it
        // as the end of the expression.
        entry.assign(row, start);
        buffer[static_cast<std::size_t>(k)] = EvaluateEntry(entry);
        break;
      }
      entry.assign(row, start, comma - start);
      buffer[static_cast<std::size_t>(k)] = EvaluateEntry(entry);
      start = comma + 1;
      if (k + 1 > limit) break;
    }
    double* dest = a.row(i);
    for (int j = 1; j <= limit; ++j) dest[j] = buffer[static_cast<std::size_t>(j)];
    offset = row_end;
    Advance(meter, static_cast<double>(row.size()));
  }
}

}  // namespace

void ReadMatrix(Matrix& a, int n, std::string_view text, WorkMeter* meter) {
  if (n < 0) n = 0;  // callers ask for n >= 1; an empty matrix is the safe answer
  a = Matrix(n, n);
  ReadRows(a, n, n, text, meter);
}

void ReadSquareMatrix(Matrix& a, int n, std::string_view text, WorkMeter* meter) {
  // Not allocated as agreed, or no rows at all: nothing to fill.
  if (n < 1 || a.rows() < n || a.cols() < n + 1) return;
  ReadRows(a, n, n + 1, text, meter);
}

void ReadVector(std::string& text, Vector& v) {
  std::string_view view = TrimSpaces(text);
  while (!view.empty() && (view.front() == ' ' || view.front() == '\n' || view.front() == '\r')) {
    view.remove_prefix(1);
  }
  // The chain of nine, five, three and two spaces, and two spaces once more.
  std::string s = CollapseSpaces(view);
  s = ReplaceAll(s, "  ", " ");
  s.insert(0, "0 ");
  LineBreaksToHashes(s);
  if (const std::size_t hash = s.find('#'); hash != std::string::npos) s.resize(hash);
  s = std::string(TrimSpaces(s));
  text = s;

  // Pieces between single spaces, numbered from 0; piece 0 is the "0" put in
  // front above and only makes an empty text come out as no entries at all.
  std::vector<std::string_view> pieces;
  std::string_view rest = text;
  while (true) {
    const std::size_t space = rest.find(' ');
    pieces.push_back(rest.substr(0, space));
    if (space == std::string_view::npos) break;
    rest.remove_prefix(space + 1);
  }
  const int m = static_cast<int>(pieces.size()) - 1;
  v = Vector(m);
  for (int j = 1; j <= m; ++j) v(j) = EvaluateEntry(pieces[static_cast<std::size_t>(j)]);
}

}  // namespace matcalc
