// The memory a reading takes, counted by the allocations it makes: for every
// shape of text (runs of digits, constants that expand, tabs that make one
// entry of a whole line, single huge entries, expressions, runs of
// separators) at most what TextReadingBytes says, the bound the budgets
// count, beside the matrix or the vector filled.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

#include "linalg/readers.h"
#include "text/evaluator.h"

namespace {

// Live and peak bytes of every operator new of this program.
std::size_t live_bytes = 0;
std::size_t peak_bytes = 0;

struct alignas(std::max_align_t) Header {
  std::size_t size;
};

void* Allocate(std::size_t size) {
  void* block = std::malloc(sizeof(Header) + size);
  if (block == nullptr) throw std::bad_alloc();
  static_cast<Header*>(block)->size = size;
  live_bytes += size;
  if (live_bytes > peak_bytes) peak_bytes = live_bytes;
  return static_cast<Header*>(block) + 1;
}

void Release(void* p) {
  if (p == nullptr) return;
  Header* header = static_cast<Header*>(p) - 1;
  live_bytes -= header->size;
  std::free(header);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace matcalc {
namespace {

// The most bytes held at once while `read` runs, beyond what was held before.
template <typename Read>
std::size_t PeakBytes(Read read) {
  const std::size_t before = live_bytes;
  peak_bytes = live_bytes;
  read();
  return peak_bytes - before;
}

std::string Repeat(std::string_view piece, std::size_t bytes) {
  std::string s;
  s.reserve(bytes + piece.size());
  while (s.size() < bytes) s += piece;
  return s;
}

struct Shape {
  const char* name;
  std::string text;
};

// Texts of about 2 MB, each a shape that once took many times its size.
std::vector<Shape> Shapes() {
  constexpr std::size_t kBytes = 2 << 20;
  return {
      {"digits", Repeat("1", kBytes)},
      {"digits with tabs", Repeat("1\t", kBytes)},
      {"pi", Repeat("pi", kBytes)},
      {"pi with tabs", Repeat("pi\t", kBytes)},
      {"zeros and a point", "0." + Repeat("0\t", kBytes) + "7"},
      {"one long expression", Repeat("x+sin(pi)*2^-", kBytes)},
      {"expressions", Repeat("sqr(2)/2 pi*x\t3 ", kBytes)},
      {"entries", Repeat("1.5 -2e3 ", kBytes)},
      {"spaces", "1" + Repeat(" ", kBytes) + "2"},
      {"commas", "1" + Repeat(",", kBytes) + "2"},
      {"line breaks", "1" + Repeat("\r\n", kBytes) + "2"},
      {"hashes", Repeat("#", kBytes) + "5"},
  };
}

TEST(ReadingMemory, AMatrixTakesWhatTheBudgetCounts) {
  for (const Shape& shape : Shapes()) {
    for (const int n : {1, 3}) {
      const std::size_t bound =
          TextReadingBytes(shape.text, TextUse::kMatrix) + sizeof(double) * (n + 1) * (n + 1);
      Matrix a;
      const std::size_t peak = PeakBytes([&] { ReadMatrix(a, n, shape.text); });
      EXPECT_LE(peak, bound) << shape.name << ", order " << n;
    }
  }
}

TEST(ReadingMemory, AVectorTakesWhatTheBudgetCounts) {
  for (const Shape& shape : Shapes()) {
    Vector v;
    const std::size_t peak = PeakBytes([&] { ReadVector(std::string_view(shape.text), v); });
    EXPECT_LE(peak, TextReadingBytes(shape.text, TextUse::kVector)) << shape.name;
  }
}

// Entries just short enough to be copied, of the shapes that grow most.
TEST(ReadingMemory, AnEntryTakesAtMostItsShare) {
  for (const std::string_view piece : {"pi", "pi\t", "x", "1\t", "-pi", "2*-x"}) {
    const std::string entry = Repeat(piece, kLongEntryBytes).substr(0, kLongEntryBytes);
    for (const std::string& tried : {entry, entry + entry}) {
      const std::size_t peak = PeakBytes([&] { ReadEntry(tried); });
      EXPECT_LE(peak, kEntryReadingBytes) << piece << " " << tried.size();
    }
  }
}

}  // namespace
}  // namespace matcalc
