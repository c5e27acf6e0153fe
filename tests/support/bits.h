// The bit patterns of doubles, without std::bit_cast, which some libraries
// these tests run with lack.
#pragma once

#include <cstdint>
#include <cstring>

namespace matcalc::testing {

inline std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline double FromBits(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace matcalc::testing
