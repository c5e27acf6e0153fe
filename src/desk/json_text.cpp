#include "desk/json_text.h"

#include <cmath>

#include "text/number_text.h"

namespace matcalc {

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += "\\u00";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendJsonNumber(std::string& out, double value) {
  if (std::isfinite(value)) {
    AppendNumber(out, value);
  } else {
    out += "null";
  }
}

}  // namespace matcalc
