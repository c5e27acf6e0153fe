// What the system a test runs on can do.
#pragma once

#include <iconv.h>

namespace matcalc::testing {

// GB18030 text is decoded by the C library's converter. A cross build run
// under an emulator may lack the target's converter modules (qemu-aarch64 with
// Debian's cross libraries has none); a real system of that kind has them.
inline bool HaveGb18030Converter() {
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

}  // namespace matcalc::testing
