#include "text/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <optional>

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

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Calls `emit` with every character of the UTF-16 text after its byte-order
// mark; an unpaired surrogate or a last odd byte gives U+FFFD.
template <typename Emit>
void ForEachUtf16(std::string_view bytes, bool big_endian, Emit emit) {
  auto unit = [&](std::size_t i) -> char32_t {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? (char32_t{b0} << 8 | b1) : (char32_t{b1} << 8 | b0);
  };
  const std::size_t end = bytes.size() - bytes.size() % 2;
  for (std::size_t i = 2; i < end; i += 2) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 2 < end) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        emit(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    emit(u >= 0xD800 && u <= 0xDFFF ? char32_t{0xFFFD} : u);
  }
  if (end != bytes.size()) emit(0xFFFD);
}

std::size_t Utf16DecodedSize(std::string_view bytes, bool big_endian) {
  std::size_t size = 0;
  ForEachUtf16(bytes, big_endian, [&](char32_t c) {
    size += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  });
  return size;
}

std::string FromUtf16(std::string_view bytes, bool big_endian) {
  // Counted first, so that the text is allocated once at its size.
  std::string out;
  out.reserve(Utf16DecodedSize(bytes, big_endian));
  ForEachUtf16(bytes, big_endian, [&](char32_t c) { AppendUtf8(out, c); });
  return out;
}

// Converts GB18030 to UTF-8 through a small buffer, handing each piece of
// the result to `sink`. An invalid or truncated sequence gives one U+FFFD
// and is skipped one byte at a time.
template <typename Sink>
bool ConvertGb18030(std::string_view bytes, Sink sink) {
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char buffer[16384];
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  while (in_left > 0) {
    char* dest = buffer;
    std::size_t dest_left = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &in_left, &dest, &dest_left);
    const int error = errno;
    sink(std::string_view(buffer, static_cast<std::size_t>(dest - buffer)));
    if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    sink(kReplacement);
    ++in;
    --in_left;
  }
  iconv_close(cd);
  return true;
}

// Nothing when the system has no converter.
std::optional<std::size_t> Gb18030DecodedSize(std::string_view bytes) {
  std::size_t size = 0;
  if (!ConvertGb18030(bytes, [&](std::string_view piece) { size += piece.size(); })) {
    return std::nullopt;
  }
  return size;
}

std::string FromGb18030(std::string_view bytes) {
  std::string out;
  const std::optional<std::size_t> size = Gb18030DecodedSize(bytes);
  if (!size) {
    // No converter on this system: keep what is plain ASCII.
    out.reserve(bytes.size());
    for (const char c : bytes) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
    return out;
  }
  out.reserve(*size);
  ConvertGb18030(bytes, [&](std::string_view piece) { out.append(piece); });
  return out;
}

enum class Encoding { kUtf16Le, kUtf16Be, kUtf8, kGb18030 };

Encoding Detect(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE") return Encoding::kUtf16Le;
  if (bytes.substr(0, 2) == "\xFE\xFF") return Encoding::kUtf16Be;
  return IsValidUtf8(bytes) ? Encoding::kUtf8 : Encoding::kGb18030;
}

bool HasUtf8Mark(std::string_view bytes) { return bytes.substr(0, 3) == "\xEF\xBB\xBF"; }

}  // namespace

std::string DecodeText(std::string bytes) {
  switch (Detect(bytes)) {
    case Encoding::kUtf16Le:
      return FromUtf16(bytes, false);
    case Encoding::kUtf16Be:
      return FromUtf16(bytes, true);
    case Encoding::kUtf8:
      if (HasUtf8Mark(bytes)) bytes.erase(0, 3);
      return bytes;
    case Encoding::kGb18030:
      break;
  }
  return FromGb18030(bytes);
}

std::size_t DecodedSize(std::string_view bytes) {
  switch (Detect(bytes)) {
    case Encoding::kUtf16Le:
      return Utf16DecodedSize(bytes, false);
    case Encoding::kUtf16Be:
      return Utf16DecodedSize(bytes, true);
    case Encoding::kUtf8:
      return bytes.size() - (HasUtf8Mark(bytes) ? 3 : 0);
    case Encoding::kGb18030:
      break;
  }
  return Gb18030DecodedSize(bytes).value_or(bytes.size());
}

}  // namespace matcalc
