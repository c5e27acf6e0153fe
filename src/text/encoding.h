// Turning the bytes of a text file into the UTF-8 text the program works on.
#pragma once

#include <string>
#include <string_view>

namespace matcalc {

bool IsValidUtf8(std::string_view bytes);

// UTF-8 (a leading byte-order mark dropped) when the bytes are valid UTF-8,
// otherwise GB18030, the code page such files were written in. Bytes that
// are not valid GB18030 either become U+FFFD.
std::string DecodeText(std::string_view bytes);

}  // namespace matcalc
