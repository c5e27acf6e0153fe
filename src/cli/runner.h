// matcalc-cli: runs one command of the Solve menu without a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/budget.h"

namespace matcalc {

// What the runner keeps beside the frame's text and trace, for the budgets:
// nothing (the bytes read become the text; the trace is written once, from
// the pane itself).
inline constexpr FrontEndCosts kRunnerCosts{.text_copies = 0, .trace_copies = 0};
// With --series, the work of writing one point of the log as a row of the
// series file (its memory is a block of the file at a time, not counted by
// the point).
inline constexpr double kSeriesRowNs = 150;

// The bytes of the edit pane's text as read from a file or a stream.
struct InputBytes {
  std::string bytes;
  std::string error;       // why reading failed; empty when it did not
  bool too_large = false;  // more than the limit: reading stopped there
};

// Reads `fd` to its end, but no more than `limit` bytes: at `limit` + 1 it
// stops and says the input is too large. A regular file is read into one
// string of its size; a stream of unknown length in blocks joined at the
// end, so at most about twice the text is held.
InputBytes ReadDescriptor(int fd, std::size_t limit);
// The same with `read_some` (bytes read, 0 at the end, -1 on an error whose
// reason it sets); `expected` is the length when known, 0 otherwise.
using ReadSome = std::function<long(char* to, std::size_t size, std::string& error)>;
InputBytes ReadBlocksWith(const ReadSome& read_some, std::size_t limit, std::size_t expected);
InputBytes ReadStream(std::istream& in, std::size_t limit);

// Writes all of `bytes` to `fd`; the system's reason when it could not.
std::string WriteDescriptor(int fd, std::string_view bytes);

// A file as the system knows it, whatever its name: two names of one file
// (a link, another path) have the same identity.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOfDescriptor(int fd);
std::optional<FileIdentity> IdentityOfPath(const std::string& path);

// What the runner reads from and writes to.
struct CliStreams {
  // Reads standard input (at most `limit` bytes, as above).
  std::function<InputBytes(std::size_t limit)> read_input;
  // Writes to standard output; the reason when not all of it was written.
  std::function<std::string(std::string_view)> write_output;
  std::ostream& err;
  // The longest text read; longer ones are refused (exit status 2).
  std::size_t text_limit;
  // The file standard input reads, when it is one (null: not known).
  std::function<std::optional<FileIdentity>()> input_identity;
  // The device's work scale (FrontEndCosts::work_scale), asked once a
  // method is about to run (null: 1).
  std::function<double()> work_scale;
};

// The runner's work scale: MATCALC_WORK_SCALE from the environment when it
// holds a positive number (a device that many times slower than the
// development machine), otherwise measured.
double RunnerWorkScale();

// Runs the runner with `args` (without the program name). Reads the edit
// pane's text from the named file or from standard input; writes the result
// pane to standard output and one line per dialog box, or an error, to
// `err`. Returns the exit status: 0 when the command ran, 1 when its result
// could not be written, 2 for a usage error or an input that cannot be read.
int RunCli(const std::vector<std::string>& args, const CliStreams& streams);

// The same on streams, with the longest text the memory budget allows.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err);

// The same on descriptors, as the program runs it (with RunnerWorkScale).
int RunCliOnDescriptors(const std::vector<std::string>& args, int in_fd, int out_fd,
                        std::ostream& err, std::function<double()> work_scale = nullptr);

}  // namespace matcalc
