#include "text/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace matcalc {

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int extra = 0;
    unsigned int code = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      code = c & 0x07;
    } else {
      return false;
    }
    if (n - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto cc = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((cc & 0xC0) != 0x80) return false;
      code = (code << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

namespace {

std::string FromGb18030(std::string_view bytes) {
  std::string out;
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // No converter on this system: keep what is plain ASCII.
    for (const char c : bytes) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
    return out;
  }
  out.resize(bytes.size() * 2 + 16);
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  std::size_t used = 0;
  while (in_left > 0) {
    if (out.size() - used < 16) out.resize(out.size() * 2);
    char* dest = out.data() + used;
    std::size_t dest_left = out.size() - used;
    const std::size_t rc = iconv(cd, &in, &in_left, &dest, &dest_left);
    used = static_cast<std::size_t>(dest - out.data());
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
    } else {
      // An invalid or truncated sequence: one replacement character, skip a byte.
      if (out.size() - used < 3) out.resize(out.size() * 2);
      out.replace(used, 3, "\xEF\xBF\xBD");
      used += 3;
      ++in;
      --in_left;
    }
  }
  iconv_close(cd);
  out.resize(used);
  return out;
}

}  // namespace

std::string DecodeText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return std::string(bytes);
  }
  return FromGb18030(bytes);
}

}  // namespace matcalc
