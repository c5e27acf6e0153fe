// Pieces of JSON for the page's binding: strings and numbers as the core
// writes them.
#pragma once

#include <string>
#include <string_view>

namespace matcalc {

// `text` (UTF-8) as a JSON string: quotes, backslashes and control characters
// escaped, everything else as it is.
void AppendJsonString(std::string& out, std::string_view text);

// A number in its default text (valid JSON for every finite value), or null.
void AppendJsonNumber(std::string& out, double value);

}  // namespace matcalc
