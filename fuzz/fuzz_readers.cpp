// Arbitrary bytes as an entry, a matrix text, a vector text and a file's
// bytes to decode: nothing may crash, read out of bounds, overflow an integer
// or run without bound, a decoded text is as long as foretold, and an entry
// read as a stream is worth what its copies are.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "linalg/matrix.h"
#include "linalg/readers.h"
#include "text/encoding.h"
#include "text/evaluator.h"
#include "text/exact_entry.h"
#include "text/leading_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the order, the rest is the text.
  const int n = 1 + data[0] % 9;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  matcalc::LeadingNumber(text);
  std::string entry(text);
  matcalc::EvaluateEntry(entry);
  // Long entries are read as a stream, short ones in copies: both readings
  // must agree bit for bit.
  if (text.size() <= matcalc::kLongEntryBytes) {
    const matcalc::EntryReading copied = matcalc::ReadEntry(text);
    const matcalc::EntryReading streamed = matcalc::ReadLongEntry(text);
    if (std::bit_cast<std::uint64_t>(copied.value) !=
            std::bit_cast<std::uint64_t>(streamed.value) ||
        copied.whole != streamed.whole) {
      std::abort();
    }
  }

  // The exact reading applies the same operators to the same operands: the
  // same double and wholeness beside its fraction.
  const matcalc::EntryReading decimal = matcalc::ReadEntry(text);
  const matcalc::ExactEntryReading exact = matcalc::ReadEntryExact(text);
  if (std::bit_cast<std::uint64_t>(decimal.value) != std::bit_cast<std::uint64_t>(exact.value) ||
      decimal.whole != exact.whole) {
    std::abort();
  }

  matcalc::Matrix a;
  matcalc::ReadMatrix(a, n, text);
  matcalc::Matrix square(n, n + 1);
  matcalc::ReadSquareMatrix(square, n, text);

  std::string vector_text(text);
  matcalc::Vector v;
  matcalc::ReadVector(vector_text, v);

  if (matcalc::DecodeText(std::string(text)).size() != matcalc::DecodedSize(text)) std::abort();
  return 0;
}
