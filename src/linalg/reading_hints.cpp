#include "linalg/reading_hints.h"

#include <algorithm>
#include <limits>

#include "text/evaluator.h"
#include "text/json_text.h"
#include "text/number_text.h"

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

std::string ReadingSummary(const TextReading& reading, TextUse use) {
  std::string line;
  if (use == TextUse::kVector) {
    line = "向量 " + std::to_string(reading.first_row_entries) + " 个分量";
  } else {
    line = std::to_string(reading.rows) + " 行，首行 " + std::to_string(reading.first_row_entries) +
           " 个元素，";
    line += reading.largest_order > 0 ? "可作 " + std::to_string(reading.largest_order) + " 阶矩阵"
                                      : std::string("不足以构成矩阵");
  }
  if (reading.partly_read_count > 0) {
    line += "，" + std::to_string(reading.partly_read_count) + " 个元素只读了一部分";
  }
  return line;
}

std::string PartlyReadTip(const PartlyReadEntry& entry) {
  return "第 " + std::to_string(entry.row) + " 行第 " + std::to_string(entry.column) +
         " 个元素读作 " + FormatNumber(entry.value);
}

std::string ReadingJson(const TextReading& reading, TextUse use) {
  std::string out = "{\"summary\":";
  AppendJsonString(out, reading.rows > 0 ? ReadingSummary(reading, use) : std::string());
  out += ",\"rows\":" + std::to_string(reading.rows);
  out += ",\"order\":" + std::to_string(reading.largest_order);
  out += ",\"partlyRead\":" + std::to_string(reading.partly_read_count);
  out += ",\"marks\":[";
  for (std::size_t i = 0; i < reading.partly_read.size(); ++i) {
    const PartlyReadEntry& entry = reading.partly_read[i];
    if (i > 0) out += ',';
    out += '[' + std::to_string(entry.begin) + ',' + std::to_string(entry.end) + ',';
    AppendJsonString(out, PartlyReadTip(entry));
    out += ']';
  }
  out += "]}";
  return out;
}

}  // namespace matcalc
