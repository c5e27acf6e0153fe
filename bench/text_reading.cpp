// Peak memory of reading a text file the way the runner does, up to the
// methods' structures: `text_reading FILE vector|vector-copy|matrix`.
// "vector-copy" reads the vector as the vector norms do today, from a copy of
// the text that the reader leaves normalised; "vector" straight from the
// text. Prints the text's size, the peak resident memory and their ratio.
// bench/text_memory.sh runs it beside whole runs of matcalc-cli.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/runner.h"
#include "commands/registry.h"
#include "linalg/readers.h"
#include "text/encoding.h"
#include "text/text_util.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: text_reading FILE vector|vector-copy|matrix\n");
    return 2;
  }
  const std::string mode = argv[2];
  const bool vector = mode != "matrix";
  const int fd = ::open(argv[1], O_RDONLY);
  matcalc::InputBytes input = matcalc::ReadDescriptor(fd, matcalc::kLargestTextBytes);
  ::close(fd);
  if (!input.error.empty() || input.too_large) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  const std::string text = matcalc::DecodeText(std::move(input.bytes));
  const matcalc::TextUse use = vector ? matcalc::TextUse::kVector : matcalc::TextUse::kMatrix;
  const bool fits = matcalc::TextFitsBudget(text, use);
  double first = 0;
  if (fits && mode == "vector-copy") {
    std::string copy(matcalc::TrimSpaces(text));
    matcalc::Vector v;
    matcalc::ReadVector(copy, v);
    first = v.size() > 0 ? v(1) : 0;
  } else if (fits && vector) {
    matcalc::Vector v;
    matcalc::ReadVector(matcalc::TrimSpaces(text), v);
    first = v.size() > 0 ? v(1) : 0;
  } else if (fits) {
    matcalc::Matrix a;
    matcalc::ReadMatrix(a, 3, matcalc::TrimSpaces(text));
    first = a(1, 1);
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const double text_mb = static_cast<double>(text.size()) / 1e6;
  const double peak_mb = static_cast<double>(usage.ru_maxrss) * 1024 / 1e6;
  std::printf(
      "%-11s text %8.1f MB  fits %-3s  peak RSS %8.1f MB  peak/text %.2f  (first entry %g)\n",
      argv[2], text_mb, fits ? "yes" : "no", peak_mb, peak_mb / text_mb, first);
  return 0;
}
