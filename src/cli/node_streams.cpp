#include "cli/node_streams.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

#include "frame/calibration.h"

namespace matcalc {
namespace {

// clang-format off
// Reads or writes with node; bytes moved, or minus the index of the error's
// code in kErrorCodes (its length when not listed).
EM_JS(int, mc_node_transfer, (int fd, char* bytes, int size, int writing), {
  const fs = require('fs');
  for (;;) {
    try {
      return writing ? fs.writeSync(fd, HEAPU8, bytes, size)
                     : fs.readSync(fd, HEAPU8, bytes, size, null);
    } catch (error) {
      if (error.code === 'EAGAIN') {
        Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, 5);
        continue;
      }
      if (error.code === 'EOF') return 0;
      const codes = ['EBADF', 'EFBIG', 'ENOSPC', 'EPIPE', 'EIO', 'EACCES', 'EISDIR', 'EINVAL',
                     'ENXIO', 'EDQUOT', 'ECONNRESET', 'EPERM'];
      const index = codes.indexOf(error.code);
      return -(index < 0 ? codes.length : index) - 1;
    }
  }
});

// The device and inode of the file on `fd`, into identity[0..1]; 0 when
// there is none.
EM_JS(int, mc_node_identity, (int fd, double* identity), {
  try {
    const info = require('fs').fstatSync(fd);
    if (!info.isFile()) return 0;
    HEAPF64[identity >> 3] = info.dev;
    HEAPF64[(identity >> 3) + 1] = info.ino;
    return 1;
  } catch (error) {
    return 0;
  }
});
// The text of node's environment variable `name` into `to` (at most `size`
// bytes with its NUL); 0 when it is not set. (The C library's environment
// under Emscripten is a fixed one of its own.)
EM_JS(int, mc_node_getenv, (const char* name, char* to, int size), {
  const value = process.env[UTF8ToString(name)];
  if (value === undefined) return 0;
  stringToUTF8(value, to, size);
  return 1;
});
// The file-creation mask of the node process.
EM_JS(int, mc_node_umask, (), {
  return process.umask();
});
// clang-format on

constexpr std::array<int, 12> kErrorCodes = {EBADF,  EFBIG,  ENOSPC, EPIPE,  EIO,        EACCES,
                                             EISDIR, EINVAL, ENXIO,  EDQUOT, ECONNRESET, EPERM};

std::string Reason(int result) {
  const std::size_t index = static_cast<std::size_t>(-result - 1);
  return index < kErrorCodes.size() ? std::strerror(kErrorCodes[index]) : "input/output error";
}

// At most this much per call: node's functions take 32-bit lengths.
constexpr std::size_t kLargestTransfer = 64 * 1024 * 1024;

}  // namespace

InputBytes ReadNodeInput(std::size_t limit) {
  // The same blocks as natively; only the reads differ.
  return ReadBlocksWith(
      [](char* to, std::size_t size, std::string& error) -> long {
        const int got =
            mc_node_transfer(0, to, static_cast<int>(std::min(size, kLargestTransfer)), 0);
        if (got >= 0) return got;
        error = Reason(got);
        return -1;
      },
      limit, 0);
}

std::string WriteNodeOutput(std::string_view bytes) {
  while (!bytes.empty()) {
    const int written =
        mc_node_transfer(1, const_cast<char*>(bytes.data()),
                         static_cast<int>(std::min(bytes.size(), kLargestTransfer)), 1);
    if (written < 0) return Reason(written);
    if (written == 0) return "nothing was written";
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

void AdoptNodeCreationMask() { ::umask(static_cast<mode_t>(mc_node_umask())); }

double NodeWorkScale() {
  std::array<char, 64> given{};
  if (mc_node_getenv("MATCALC_WORK_SCALE", given.data(), static_cast<int>(given.size())) != 0) {
    if (const std::optional<double> scale = ParseWorkScale(given.data())) return *scale;
  }
  return MeasureWorkScale();
}

std::optional<FileIdentity> NodeInputIdentity() {
  std::array<double, 2> identity{};
  if (mc_node_identity(0, identity.data()) == 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(identity[0]),
                      static_cast<std::uint64_t>(identity[1])};
}

}  // namespace matcalc
