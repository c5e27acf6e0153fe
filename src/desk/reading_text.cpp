#include "desk/reading_text.h"

#include "desk/json_text.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

PaneReading PlaceInPane(std::string_view text, const TextReading& reading) {
  PaneReading pane;
  if (reading.rows > 0) pane.summary = ReadingSummary(reading);
  // The entries come in text order.
  std::size_t byte = 0;
  int position = 0;
  const auto advance_to = [&](std::size_t target) {
    while (byte < target && byte < text.size()) {
      const unsigned char c = static_cast<unsigned char>(text[byte]);
      if (c == '\r' && byte + 1 < text.size() && text[byte + 1] == '\n') {
        byte += 2;
        ++position;
        continue;
      }
      const int length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      byte += static_cast<std::size_t>(length);
      position += length == 4 ? 2 : 1;  // a surrogate pair in the pane
    }
    return position;
  };
  pane.marks.reserve(reading.partly_read.size());
  for (const PartlyReadEntry& entry : reading.partly_read) {
    PaneMark mark;
    mark.start = advance_to(entry.begin);
    mark.end = advance_to(entry.end);
    mark.tip = PartlyReadTip(entry);
    pane.marks.push_back(std::move(mark));
  }
  return pane;
}

}  // namespace

std::string ReadingSummary(const TextReading& reading, TextUse use) {
  std::string line;
  if (use == TextUse::kVector) {
    line = "向量 " + std::to_string(reading.first_row_entries) + " 个分量";
  } else {
    line = std::to_string(reading.rows) + " 行，首行 " + std::to_string(reading.first_row_entries) +
           " 个元素，";
    if (reading.IsRectangular()) {
      line += "可作 " + std::to_string(reading.rows) + " × " +
              std::to_string(reading.first_row_entries) + " 矩阵";
    } else if (reading.largest_order > 0) {
      line += "可作 " + std::to_string(reading.largest_order) + " 阶矩阵";
    } else {
      line += "不足以构成矩阵";
    }
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

PaneReading ReadForPane(std::string_view text) { return PlaceInPane(text, DescribeText(text)); }

std::string ReadingJson(std::string_view text) {
  const TextReading reading = DescribeText(text);
  const PaneReading pane = PlaceInPane(text, reading);
  std::string out = "{\"summary\":";
  AppendJsonString(out, pane.summary);
  out += ",\"rows\":" + std::to_string(reading.rows);
  out += ",\"order\":" + std::to_string(reading.largest_order);
  out += ",\"partlyRead\":" + std::to_string(reading.partly_read_count);
  out += ",\"marks\":[";
  for (std::size_t i = 0; i < pane.marks.size(); ++i) {
    const PaneMark& mark = pane.marks[i];
    if (i > 0) out += ',';
    out += '[' + std::to_string(mark.start) + ',' + std::to_string(mark.end) + ',';
    AppendJsonString(out, mark.tip);
    out += ']';
  }
  out += "]}";
  return out;
}

}  // namespace matcalc
