// Turning the bytes of a text file into the UTF-8 text the program works on.
#pragma once

#include <string>
#include <string_view>

namespace matcalc {

bool IsValidUtf8(std::string_view bytes);

// UTF-16 (little or big endian) when the bytes start with its byte-order
// mark; otherwise UTF-8 (a leading byte-order mark dropped) when the bytes are
// valid UTF-8, otherwise GB18030, the code page such files were written in.
// Unpaired surrogates and bytes that are not valid GB18030 become U+FFFD.
// Takes the bytes by value: valid UTF-8 becomes the text without a copy, and
// any other text is converted without holding more than the bytes and the
// result at once.
std::string DecodeText(std::string bytes);

// The length of what `DecodeText` makes of `bytes`, worked out without
// holding it.
std::size_t DecodedSize(std::string_view bytes);

}  // namespace matcalc
