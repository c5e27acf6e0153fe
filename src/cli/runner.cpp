#include "cli/runner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "desk/series_formats.h"
#include "frame/calibration.h"
#include "frame/convergence.h"
#include "text/encoding.h"
#include "text/text_util.h"

namespace matcalc {
namespace {

constexpr std::string_view kUsage =
    "usage: matcalc-cli [--digits D] [--exact] [--answer TEXT]... [--reply yes|no]...\n"
    "                   [--progress] [--series CSV] METHOD [FILE]\n"
    "       matcalc-cli --list\n"
    "       matcalc-cli --help\n"
    "       matcalc-cli --version\n"
    "\n"
    "Runs one method on the matrix or vector text in FILE (or standard input, also\n"
    "for \"-\") and prints the result pane's text. Each --answer is typed into the\n"
    "next input box and confirmed; later boxes are cancelled. Each --reply answers\n"
    "the next Yes/No question; later questions get their default button. --digits\n"
    "sets the decimal digits (1 to 15, default 6). --exact computes in exact\n"
    "fractions (p/q) where the method needs nothing but + - * / and every entry\n"
    "read is exact. Every dialog box shown is reported on standard error, one\n"
    "line each. --progress adds lines \"progress<TAB>P\" there while the method\n"
    "computes (P: whole percent of its estimated work, never decreasing). --series\n"
    "writes what the iterative methods converge through (header series,x,y) to\n"
    "the file CSV. --list names the methods, --version prints the version.\n";

constexpr std::size_t kFirstBlockBytes = 64 * 1024;
// Blocks this large come from the system directly and go back to it when
// freed, so joining them never holds much more than the text.
constexpr std::size_t kLargestBlockBytes = 32 * 1024 * 1024;

// Reads with `read_some` (bytes read, 0 at the end, -1 on an error, whose
// reason it sets) until the end or `limit` + 1 bytes. `expected` is the
// length when known, 0 otherwise.
template <typename ReadSome>
InputBytes ReadBlocks(ReadSome read_some, std::size_t limit, std::size_t expected) {
  InputBytes result;
  std::vector<std::string> blocks;
  std::size_t total = 0;
  std::size_t next_size = expected > 0 ? std::min(expected, limit) + 1 : kFirstBlockBytes;
  bool at_end = false;
  while (!at_end && total <= limit) {
    std::string block(std::min(next_size, limit + 1 - total), '\0');
    next_size = std::min(next_size * 4, kLargestBlockBytes);
    std::size_t filled = 0;
    while (filled < block.size()) {
      const long got = read_some(block.data() + filled, block.size() - filled, result.error);
      if (got < 0) return result;
      if (got == 0) {
        at_end = true;
        break;
      }
      filled += static_cast<std::size_t>(got);
    }
    block.resize(filled);
    total += filled;
    blocks.push_back(std::move(block));
  }
  if (total > limit) {
    result.too_large = true;
    return result;
  }
  if (blocks.size() == 1) {
    result.bytes = std::move(blocks.front());
  } else {
    result.bytes.reserve(total);
    for (std::string& block : blocks) {
      result.bytes += block;
      std::string().swap(block);
    }
  }
  return result;
}

int UsageError(std::ostream& err, std::string_view message) {
  err << "matcalc-cli: " << message << '\n';
  return 2;
}

// --progress: a line "progress<TAB>P" whenever the whole percent grows, and at
// least every kProgressLineInterval of computation while it does not.
class ProgressLines : public ProgressSink {
 public:
  static constexpr std::chrono::milliseconds kProgressLineInterval{50};

  explicit ProgressLines(std::ostream& err) : err_(err) {}

  void Report(double fraction) override {
    const int percent = std::max(percent_, static_cast<int>(std::floor(fraction * 100)));
    const auto now = std::chrono::steady_clock::now();
    if (percent == percent_ && now - last_line_ < kProgressLineInterval) return;
    Line(percent);
  }
  bool StopRequested() override { return false; }

  void Line(int percent) {
    percent_ = percent;
    err_ << "progress\t" + std::to_string(percent) + "\n";
    err_.flush();
    // Time spent in a box is not computation: the interval starts afresh.
    last_line_ = std::chrono::steady_clock::now();
  }
  void Restart() { last_line_ = std::chrono::steady_clock::now(); }

 private:
  std::ostream& err_;
  int percent_ = 0;
  std::chrono::steady_clock::time_point last_line_ = std::chrono::steady_clock::now();
};

// With --progress each box's line is written as the box is answered, so that
// it stands among the progress lines where it came.
class LiveLog : public Dialogs {
 public:
  LiveLog(ScriptedDialogs& script, ProgressLines& progress, std::ostream& err)
      : script_(script), progress_(progress), err_(err) {}
  std::optional<std::string> Input(const InputRequest& request) override {
    std::optional<std::string> answer = script_.Input(request);
    Written();
    return answer;
  }
  Reply Message(const MessageRequest& request) override {
    const Reply reply = script_.Message(request);
    Written();
    return reply;
  }

 private:
  void Written() {
    err_ << DescribeBox(script_.shown().back()) + "\n";
    err_.flush();
    progress_.Restart();
  }
  ScriptedDialogs& script_;
  ProgressLines& progress_;
  std::ostream& err_;
};

std::string LimitText(std::size_t limit) {
  return "the text is larger than " + std::to_string(limit) +
         " bytes, more than this program can work on";
}

// Standard output through an ostream; its state is all there is to report.
std::string WriteStream(std::ostream& out, std::string_view bytes) {
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return out ? std::string() : std::string("write error");
}

}  // namespace

InputBytes ReadBlocksWith(const ReadSome& read_some, std::size_t limit, std::size_t expected) {
  return ReadBlocks(read_some, limit, expected);
}

InputBytes ReadDescriptor(int fd, std::size_t limit) {
  // Where the size cannot be asked (node's standard input under WebAssembly
  // has no such thing), the stream is read without it; a descriptor that
  // cannot be read at all fails at its first read.
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0;
  std::size_t expected = 0;
  if (known && S_ISREG(info.st_mode) && info.st_size > 0) {
    expected = static_cast<std::size_t>(info.st_size);
    if (expected > limit) {
      // Known to be too long before a byte is read.
      InputBytes result;
      result.too_large = true;
      return result;
    }
  }
  auto read_some = [fd](char* to, std::size_t size, std::string& error) -> long {
    while (true) {
      const ssize_t got = ::read(fd, to, size);
      if (got >= 0) return static_cast<long>(got);
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      return -1;
    }
  };
  return ReadBlocks(read_some, limit, expected);
}

InputBytes ReadStream(std::istream& in, std::size_t limit) {
  auto read_some = [&in](char* to, std::size_t size, std::string& error) -> long {
    in.read(to, static_cast<std::streamsize>(size));
    if (in.bad()) {
      error = "read error";
      return -1;
    }
    return static_cast<long>(in.gcount());
  };
  return ReadBlocks(read_some, limit, 0);
}

std::string WriteDescriptor(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return std::strerror(errno);
    }
    if (written == 0) return "nothing was written";
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

std::optional<FileIdentity> IdentityOfDescriptor(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}

namespace {

// The series file is made and written a block at a time: a long series is
// never held whole as text beside the log.
constexpr std::size_t kSeriesBlockBytes = 1 << 20;

// Writes the series file of `log` to `fd`; the reason when it could not.
std::string WriteSeriesTo(int fd, const ConvergenceLog& log) {
  std::string reason;
  SeriesCsvBlocks(log, kSeriesBlockBytes, [&](std::string_view block) {
    reason = WriteDescriptor(fd, block);
    return reason.empty();
  });
  return reason;
}

// Writes the series file of `log` to the file `path`: to a temporary file
// beside it, flushed to the disk and renamed over it only when whole, so
// that a full disk or a crash leaves a file that was there as it was. The
// reason when it failed. What is no regular file (a terminal, a pipe,
// /dev/null) is written to directly: it can neither be replaced nor hold a
// temporary file.
std::string WriteSeriesFile(const std::string& path, const ConvergenceLog& log) {
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    std::string reason = WriteSeriesTo(fd, log);
    if (::close(fd) != 0 && reason.empty()) reason = std::strerror(errno);
    return reason;
  }
  // A link is followed: the file it names is replaced, the link stays.
  std::string target = path;
  if (exists) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const std::size_t slash = target.rfind('/');
  std::string temporary =
      (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) +
      ".matcalc-series-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return std::strerror(errno);
  // The permissions a new file would get, or those of the file replaced.
  mode_t mode = 0666;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  std::string reason;
  if (::fchmod(fd, mode) != 0) reason = std::strerror(errno);
  if (reason.empty()) reason = WriteSeriesTo(fd, log);
  if (reason.empty() && ::fsync(fd) != 0) reason = std::strerror(errno);
  if (::close(fd) != 0 && reason.empty()) reason = std::strerror(errno);
  if (reason.empty() && ::rename(temporary.c_str(), target.c_str()) != 0) {
    reason = std::strerror(errno);
  }
  if (!reason.empty()) ::unlink(temporary.c_str());
  return reason;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, const CliStreams& streams) {
  std::ostream& err = streams.err;
  // Standard output written whole, or the reason it was not: exit status 1.
  auto write = [&](std::string_view bytes) {
    const std::string reason = streams.write_output(bytes);
    if (reason.empty()) return 0;
    err << "matcalc-cli: cannot write the result: " << reason << '\n';
    return 1;
  };
  int digits = kDefaultDigits;
  std::vector<std::string> answers;
  std::vector<Reply> replies;
  std::vector<std::string> positional;
  bool progress = false;
  bool exact = false;
  std::optional<std::string> series_file;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    if (arg == "--help") return write(kUsage);
    if (arg == "--version") return write("matcalc-cli " MATCALC_VERSION_TEXT "\n");
    if (arg == "--list") {
      std::string list;
      for (const Command& command : Commands()) {
        if (command.run == nullptr) continue;
        list.append(command.name).append("\t").append(command.caption).append("\n");
      }
      return write(list);
    }
    if (arg == "--digits") {
      const std::string* text = value();
      int parsed = 0;
      if (text == nullptr) return UsageError(err, "--digits needs a value");
      const auto res = std::from_chars(text->data(), text->data() + text->size(), parsed);
      if (res.ec != std::errc{} || res.ptr != text->data() + text->size() || parsed < kMinDigits ||
          parsed > kMaxDigits) {
        return UsageError(err, "--digits takes a whole number from 1 to 15");
      }
      digits = parsed;
    } else if (arg == "--answer") {
      const std::string* text = value();
      if (text == nullptr) return UsageError(err, "--answer needs a text");
      answers.push_back(*text);
    } else if (arg == "--reply") {
      const std::string* text = value();
      if (text == nullptr || (*text != "yes" && *text != "no")) {
        return UsageError(err, "--reply takes yes or no");
      }
      replies.push_back(*text == "yes" ? Reply::kYes : Reply::kNo);
    } else if (arg == "--series") {
      const std::string* file = value();
      if (file == nullptr || file->empty()) return UsageError(err, "--series needs a file name");
      series_file = *file;
    } else if (arg == "--progress") {
      progress = true;
    } else if (arg == "--exact") {
      exact = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      return UsageError(err, "unknown option " + arg);
    } else {
      positional.push_back(arg);
    }
  }

  if (positional.empty()) return UsageError(err, "no METHOD given (see --help)");
  if (positional.size() > 2) return UsageError(err, "too many arguments (see --help)");
  // Only the runner's own method names; the window's menu item names are not
  // part of this interface.
  const Command* command = FindCommand(positional[0]);
  if (command == nullptr || command->name != positional[0] || command->run == nullptr) {
    return UsageError(err, "unknown METHOD " + positional[0] + " (see --list)");
  }

  const bool from_input = positional.size() < 2 || positional[1] == "-";
  const std::string source = from_input ? std::string("standard input") : positional[1];
  // The series file is emptied when the method has run: it must not be the
  // text the method reads, under whatever name.
  auto series_is_input = [&](const std::optional<FileIdentity>& input_file) {
    return series_file && input_file && IdentityOfPath(*series_file) == input_file;
  };
  InputBytes input;
  if (from_input) {
    if (series_is_input(streams.input_identity ? streams.input_identity() : std::nullopt)) {
      return UsageError(err, "the CSV file is the input file: " + source);
    }
    input = streams.read_input(streams.text_limit);
  } else {
    const int fd = ::open(positional[1].c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return UsageError(err, "cannot read " + source + ": " + std::strerror(errno));
    if (series_is_input(IdentityOfDescriptor(fd))) {
      ::close(fd);
      return UsageError(err, "the CSV file is the input file: " + source);
    }
    input = ReadDescriptor(fd, streams.text_limit);
    ::close(fd);
  }
  if (!input.error.empty()) return UsageError(err, "cannot read " + source + ": " + input.error);
  // Neither the bytes nor the text made of them may be longer than a command
  // could read within the memory budget; both are held for a moment.
  if (input.too_large || DecodedSize(input.bytes) > streams.text_limit) {
    return UsageError(err, "cannot read " + source + ": " + LimitText(streams.text_limit));
  }

  const std::string text = DecodeText(std::move(input.bytes));
  // The window offers no method while the edit pane is blank.
  if (TrimSpaces(text).empty()) return UsageError(err, "the text is blank");

  ScriptedDialogs dialogs(std::move(answers), std::move(replies));
  FrontEndCosts costs = kRunnerCosts;
  if (series_file) costs.series_point_ns = kSeriesRowNs;
  if (streams.work_scale) costs.work_scale = streams.work_scale();
  ConvergenceLog series;
  ConvergenceLog* const series_log = series_file ? &series : nullptr;
  TraceBuffer pane;
  if (progress) {
    ProgressLines lines(err);
    LiveLog live(dialogs, lines, err);
    lines.Line(0);
    RunCommand(*command, live, text, pane, digits, costs, &lines, series_log, exact);
  } else {
    RunCommand(*command, dialogs, text, pane, digits, costs, nullptr, series_log, exact);
    err << dialogs.Log();
  }
  err.flush();
  const int status = write(pane.text());
  if (series_file) {
    const std::string reason = WriteSeriesFile(*series_file, series);
    if (!reason.empty()) {
      err << "matcalc-cli: cannot write " << *series_file << ": " << reason << '\n';
      return 1;
    }
  }
  return status;
}

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err) {
  const CliStreams streams{[&in](std::size_t limit) { return ReadStream(in, limit); },
                           [&out](std::string_view bytes) { return WriteStream(out, bytes); },
                           err,
                           kLargestTextBytes,
                           nullptr,
                           nullptr};
  return RunCli(args, streams);
}

double RunnerWorkScale() {
  const char* given = std::getenv("MATCALC_WORK_SCALE");
  if (given != nullptr) {
    if (const std::optional<double> scale = ParseWorkScale(given)) return *scale;
  }
  return MeasureWorkScale();
}

int RunCliOnDescriptors(const std::vector<std::string>& args, int in_fd, int out_fd,
                        std::ostream& err, std::function<double()> work_scale) {
  const CliStreams streams{
      [in_fd](std::size_t limit) { return ReadDescriptor(in_fd, limit); },
      [out_fd](std::string_view bytes) { return WriteDescriptor(out_fd, bytes); },
      err,
      kLargestTextBytes,
      [in_fd] { return IdentityOfDescriptor(in_fd); },
      work_scale};
  return RunCli(args, streams);
}

}  // namespace matcalc
