#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <thread>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/runner.h"
#include "support/platform.h"
#include "text/encoding.h"

namespace matcalc {
namespace {

using testing::HaveGb18030Converter;

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

CliRun Cli(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  CliRun run;
  run.status = RunCli(args, in, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// A file in a fresh temporary folder, removed with the fixture.
class RunnerFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("matcalc-cli-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = dir_ / name;
    std::ofstream file(path, std::ios::binary);
    file << bytes;
    return path.string();
  }

  std::filesystem::path dir_;
};

const std::string kNormsOfThreeMinusFour =
    "    3    -4\r\n"
    "以上是所要求解的向量，接下来输出向量的范数\r\n"
    "\r\n"
    "向量的1范数为： 7\r\n"
    "向量的2范数为： 5\r\n"
    "向量的无穷范数为： 4\r\n";

bool IsUsageError(const CliRun& run) {
  return run.status == 2 && run.out.empty() && run.err.rfind("matcalc-cli: ", 0) == 0 &&
         run.err.find('\n') == run.err.size() - 1;
}

TEST(Runner, VectorNormsFromStandardInput) {
  const CliRun run = Cli({"vector-norms"}, "3 -4");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kNormsOfThreeMinusFour);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Cli({"vector-norms", "-"}, "3 -4").out, kNormsOfThreeMinusFour);
}

TEST(Runner, DigitsSetTheRounding) {
  const CliRun run = Cli({"--digits", "3", "vector-norms"}, "1 1");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("向量的2范数为： 1.414\r\n"), std::string::npos) << run.out;
  EXPECT_NE(Cli({"--digits", "15", "vector-norms"}, "1 1").out.find("1.41421356237309\r\n"),
            std::string::npos);
  EXPECT_NE(Cli({"vector-norms"}, "1 1").out.find("1.414214\r\n"), std::string::npos);
}

TEST(Runner, UnusedAnswersAndRepliesAreHarmless) {
  const CliRun run =
      Cli({"--answer", "3", "--reply", "yes", "--reply", "no", "vector-norms"}, "3 -4");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kNormsOfThreeMinusFour);
  EXPECT_EQ(run.err, "");
}

// --progress adds its lines to standard error and changes nothing else: the
// percents run from 0 to 100 without going down, and the dialog lines stand
// among them in the order the boxes came.
TEST(Runner, ProgressLinesRunFrom0To100AmongTheDialogLines) {
  std::string matrix;
  for (int i = 0; i < 120; ++i) {
    for (int j = 0; j < 120; ++j) matrix += std::to_string((i * 7 + j * 3) % 11 - 5) + ' ';
    matrix += '\n';
  }
  const std::vector<std::string> args = {"--answer", "120", "--answer", "0", "--reply", "yes"};
  for (const char* method : {"determinant", "jacobi"}) {
    std::vector<std::string> plain_args = args;
    plain_args.push_back(method);
    std::vector<std::string> progress_args = plain_args;
    progress_args.insert(progress_args.begin(), "--progress");
    const CliRun plain = Cli(plain_args, matrix);
    const CliRun with = Cli(progress_args, matrix);
    EXPECT_EQ(with.status, plain.status);
    EXPECT_TRUE(with.out == plain.out) << method;

    std::istringstream lines(with.err);
    std::string line;
    std::string dialog_lines;
    std::vector<int> percents;
    while (std::getline(lines, line)) {
      if (line.rfind("progress\t", 0) == 0) {
        percents.push_back(std::stoi(line.substr(9)));
      } else {
        dialog_lines += line + '\n';
      }
    }
    EXPECT_EQ(dialog_lines, plain.err) << method;
    ASSERT_GE(percents.size(), 3u) << method;
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << method;
    // The order box comes before any computing, after the first line.
    EXPECT_EQ(with.err.find("progress\t0\ninput\t"), 0u) << method;
  }
}

TEST(Runner, ListNamesTheBuiltMethods) {
  const CliRun run = Cli({"--list"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("vector-norms\t向量范数\n"), std::string::npos) << run.out;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_NE(line.find('\t'), std::string::npos) << line;
  }
  EXPECT_EQ(run.err, "");
}

TEST(Runner, HelpShowsTheUsage) {
  const CliRun run = Cli({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("usage: matcalc-cli", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("--digits D"), std::string::npos);
  EXPECT_NE(run.out.find("--list"), std::string::npos);
}

// One line, whatever else is on the command line: scripts and bug reports quote it.
TEST(Runner, VersionIsTheProjectVersion) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--version"}, {"--digits", "3", "--version", "power"}}) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "matcalc-cli " MATCALC_EXPECTED_VERSION "\n");
    EXPECT_EQ(run.err, "");
  }
}

TEST(Runner, UsageErrors) {
  EXPECT_TRUE(IsUsageError(Cli({}, "3")));
  EXPECT_TRUE(IsUsageError(Cli({"no-such-method"}, "3")));
  EXPECT_TRUE(IsUsageError(Cli({"VectorModel"}, "3")));  // a menu item, not a METHOD
  EXPECT_TRUE(IsUsageError(Cli({"vector-norms", "/no/such/file.txt"})));
  EXPECT_TRUE(IsUsageError(Cli({"vector-norms", "a", "b"}, "3")));
  EXPECT_TRUE(IsUsageError(Cli({"--bogus", "vector-norms"}, "3")));
  EXPECT_TRUE(IsUsageError(Cli({"--reply", "maybe", "vector-norms"}, "3")));
  EXPECT_TRUE(IsUsageError(Cli({"vector-norms", "--answer"}, "3")));
  for (const char* digits : {"0", "16", "abc", "", "-1", "3.5", "6x", " 6"}) {
    EXPECT_TRUE(IsUsageError(Cli({"--digits", digits, "vector-norms"}, "3"))) << digits;
  }
  EXPECT_TRUE(IsUsageError(Cli({"vector-norms", "--digits"}, "3")));
  // A text that is empty once trimmed of spaces would leave the Solve menu disabled.
  EXPECT_TRUE(IsUsageError(Cli({"vector-norms"}, "")));
  EXPECT_TRUE(IsUsageError(Cli({"vector-norms"}, "    ")));
}

TEST(Runner, LineBreaksAloneAreNotBlank) {
  const CliRun run = Cli({"vector-norms"}, "\r\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
}

TEST_F(RunnerFiles, ReadsAFile) {
  const CliRun run = Cli({"vector-norms", Write("v.txt", "3 -4\r\n")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kNormsOfThreeMinusFour);
  EXPECT_EQ(run.err, "");
}

TEST_F(RunnerFiles, EmptyFileAndFolderAreUsageErrors) {
  EXPECT_TRUE(IsUsageError(Cli({"vector-norms", Write("empty.txt", "")})));
  const CliRun folder = Cli({"vector-norms", dir_.string()});
  EXPECT_TRUE(IsUsageError(folder));
  EXPECT_NE(folder.err.find("cannot read"), std::string::npos) << folder.err;
}

TEST_F(RunnerFiles, Utf8ByteOrderMarkIsDropped) {
  const CliRun run = Cli({"vector-norms", Write("bom.txt",
                                                "\xEF\xBB\xBF"
                                                "3 -4")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kNormsOfThreeMinusFour);
}

TEST_F(RunnerFiles, Gb18030FileIsRead) {
  // "3 -4 一二" in GB18030 (not valid UTF-8): the characters are an entry worth 0.
  const CliRun run = Cli({"vector-norms", Write("gb.txt", "3 -4 \xD2\xBB\xB6\xFE\r\n")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("    3    -4    0\r\n", 0), 0u) << run.out;
}

TEST(DecodeText, Utf8OrElseGb18030) {
  if (!HaveGb18030Converter()) {
    GTEST_SKIP() << "this system's C library has no GB18030 converter";
  }
  EXPECT_EQ(DecodeText("\xD2\xBB\xB6\xFE"), "一二");
  // Alone, the two bytes of 一 are valid UTF-8 (U+04BB), and UTF-8 wins.
  EXPECT_EQ(DecodeText("\xD2\xBB"), "\xD2\xBB");
  EXPECT_EQ(DecodeText("\xC4\xE3\xBA\xC3 1"), "你好 1");
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF"
                       "一"),
            "一");
  EXPECT_EQ(DecodeText("一 2"), "一 2");
  EXPECT_EQ(DecodeText("plain"), "plain");
  EXPECT_EQ(DecodeText(""), "");
  // Bytes that are neither become replacement characters, the rest survives.
  EXPECT_EQ(DecodeText("1\xFF"
                       "2"),
            "1\xEF\xBF\xBD"
            "2");
  EXPECT_EQ(DecodeText("3\xD2"), "3\xEF\xBF\xBD");
}

TEST(DecodeText, ValidUtf8) {
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

// UTF-16 with its byte-order mark, from text of ASCII and CJK characters.
std::string Utf16(std::u16string_view text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

TEST(DecodeText, Utf16WithByteOrderMark) {
  for (const bool big_endian : {false, true}) {
    EXPECT_EQ(DecodeText(Utf16(u"矩阵 1 2\r\n3 4", big_endian)), "矩阵 1 2\r\n3 4");
    EXPECT_EQ(DecodeText(Utf16(u"", big_endian)), "");
    EXPECT_EQ(DecodeText(Utf16(u"\U0001F600x", big_endian)), "\xF0\x9F\x98\x80x");
    // Unpaired surrogates, high or low, and a last odd byte.
    EXPECT_EQ(DecodeText(Utf16(u"a\xD83D"
                               "b",
                               big_endian)),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(DecodeText(Utf16(u"a\xDE00", big_endian)), "a\xEF\xBF\xBD");
    EXPECT_EQ(DecodeText(Utf16(u"\xD83D", big_endian)), "\xEF\xBF\xBD");
    EXPECT_EQ(DecodeText(Utf16(u"a", big_endian) + "b"), "a\xEF\xBF\xBD");
  }
  // The mark decides before the UTF-8 rule: "\xFF\xFE" is never UTF-8 anyway,
  // and a UTF-8 text that starts with U+FEFF stays UTF-8.
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF"
                       "1"),
            "1");
}

TEST(DecodeText, SizeIsKnownBeforeDecoding) {
  for (const std::string& bytes :
       {std::string("plain"),
        std::string("\xEF\xBB\xBF"
                    "一"),
        std::string("\xD2\xBB\xB6\xFE 1"),
        std::string("1\xFF"
                    "2"),
        Utf16(u"矩阵\U0001F600 \xD800", false), Utf16(u"矩阵 3", true) + "x", std::string()}) {
    EXPECT_EQ(DecodedSize(bytes), DecodeText(bytes).size()) << bytes;
  }
}

TEST_F(RunnerFiles, Utf16FilesAreRead) {
  // Without the byte-order mark's rule every entry would read as 0.
  for (const bool big_endian : {false, true}) {
    const CliRun run = Cli({"vector-norms", Write("u16.txt", Utf16(u"3 -4\r\n向量", big_endian))});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kNormsOfThreeMinusFour) << big_endian;
  }
  const CliRun matrix = Cli({"--answer", "2", "determinant"}, Utf16(u"一 2\r\n3 4", false));
  EXPECT_EQ(matrix.status, 0);
  EXPECT_NE(matrix.out.find("-6"), std::string::npos) << matrix.out;  // 一 reads as 0
}

struct FdRun {
  int status = -1;
  std::string err;
};

// The runner on descriptors, as the program runs it.
FdRun CliFds(const std::vector<std::string>& args, int in_fd, int out_fd) {
  std::ostringstream err;
  FdRun run;
  run.status = RunCliOnDescriptors(args, in_fd, out_fd, err);
  run.err = err.str();
  return run;
}

// A descriptor number that is not open.
int ClosedDescriptor() {
  const int fd = ::open("/dev/null", O_RDONLY);
  ::close(fd);
  return fd;
}

std::string WriteFailure(int error) {
  return std::string("matcalc-cli: cannot write the result: ") + std::strerror(error) + "\n";
}

TEST_F(RunnerFiles, AResultThatCannotBeWrittenIsExitStatusOne) {
  const std::string input = Write("v.txt", "3 -4");
  const int full = ::open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  FdRun run = CliFds({"vector-norms", input}, ClosedDescriptor(), full);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, WriteFailure(ENOSPC));
  EXPECT_EQ(CliFds({"--list"}, ClosedDescriptor(), full).status, 1);
  ::close(full);

  run = CliFds({"vector-norms", input}, ClosedDescriptor(), ClosedDescriptor());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, WriteFailure(EBADF));

  // The dialog lines come before the failure.
  const int again = ::open("/dev/full", O_WRONLY);
  run = CliFds({"--answer", "1", "matrix-norms", input}, ClosedDescriptor(), again);
  ::close(again);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("input\t", 0), 0u) << run.err;
  EXPECT_EQ(run.err.substr(run.err.find('\n') + 1), WriteFailure(ENOSPC));

#if defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "WebAssembly under node has no pipes";
#endif
  // A reader that has gone: the program ignores SIGPIPE and says so.
  std::signal(SIGPIPE, SIG_IGN);
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  ::close(pipe_fds[0]);
  run = CliFds({"vector-norms", input}, ClosedDescriptor(), pipe_fds[1]);
  ::close(pipe_fds[1]);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, WriteFailure(EPIPE));
}

TEST_F(RunnerFiles, AnInputThatCannotBeReadIsExitStatusTwo) {
  const int null_out = ::open("/dev/null", O_WRONLY);
  auto failure = [](const std::string& source, int error) {
    return "matcalc-cli: cannot read " + source + ": " + std::strerror(error) + "\n";
  };
  FdRun run = CliFds({"vector-norms"}, ClosedDescriptor(), null_out);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, failure("standard input", EBADF));

  run = CliFds({"vector-norms", "/proc/self/mem"}, ClosedDescriptor(), null_out);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, failure("/proc/self/mem", EIO));
  const int mem = ::open("/proc/self/mem", O_RDONLY);
  run = CliFds({"vector-norms", "-"}, mem, null_out);
  ::close(mem);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, failure("standard input", EIO));

  run = CliFds({"vector-norms", dir_.string()}, ClosedDescriptor(), null_out);
  EXPECT_EQ(run.err, failure(dir_.string(), EISDIR));
  run = CliFds({"vector-norms", (dir_ / "none.txt").string()}, ClosedDescriptor(), null_out);
  EXPECT_EQ(run.err, failure((dir_ / "none.txt").string(), ENOENT));
  ::close(null_out);
}

// The runner with a small text limit, its input from `input`.
CliRun LimitedCli(std::vector<std::string> args, std::size_t limit,
                  std::function<InputBytes(std::size_t)> input) {
  std::ostringstream out;
  std::ostringstream err;
  const CliStreams streams{std::move(input),
                           [&out](std::string_view bytes) {
                             out << bytes;
                             return std::string();
                           },
                           err,
                           limit,
                           nullptr,
                           nullptr};
  CliRun run;
  run.status = RunCli(args, streams);
  run.out = out.str();
  run.err = err.str();
  return run;
}

TEST_F(RunnerFiles, ReadingStopsAtTheLimit) {
  auto text = [](std::string bytes) {
    return [bytes](std::size_t limit) {
      std::istringstream in(bytes);
      return ReadStream(in, limit);
    };
  };
  const std::string too_large =
      ": the text is larger than 9 bytes, more than this program can work on\n";
  // "3 -4 12 0" is 9 bytes: read; one more is refused, from a stream or a file.
  EXPECT_EQ(LimitedCli({"vector-norms"}, 9, text("3 -4 12 0")).status, 0);
  CliRun run = LimitedCli({"vector-norms"}, 9, text("3 -4 12 00"));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "matcalc-cli: cannot read standard input" + too_large);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(LimitedCli({"vector-norms", Write("9.txt", "3 -4 12 0")}, 9, nullptr).status, 0);
  const std::string ten = Write("10.txt", "3 -4 12 00");
  EXPECT_EQ(LimitedCli({"vector-norms", ten}, 9, nullptr).err,
            "matcalc-cli: cannot read " + ten + too_large);

  // Endless input, as a file or as standard input.
  EXPECT_EQ(LimitedCli({"vector-norms", "/dev/zero"}, 9, nullptr).err,
            "matcalc-cli: cannot read /dev/zero" + too_large);
  const int zero = ::open("/dev/zero", O_RDONLY);
  run = LimitedCli({"vector-norms"}, 9,
                   [zero](std::size_t limit) { return ReadDescriptor(zero, limit); });
  ::close(zero);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "matcalc-cli: cannot read standard input" + too_large);

  // The decoded text counts too: six GB18030 bytes make nine of UTF-8.
  if (!HaveGb18030Converter()) {
    GTEST_SKIP() << "this system's C library has no GB18030 converter";
  }
  EXPECT_EQ(LimitedCli({"vector-norms"}, 9, text("\xD2\xBB\xB6\xFE\xD2\xBB")).status, 0);
  EXPECT_EQ(LimitedCli({"vector-norms"}, 9, text("\xD2\xBB\xB6\xFE\xD2\xBB\xB6\xFE")).status, 2);
}

TEST_F(RunnerFiles, ReadsStreamsAndFilesWhole) {
  std::string bytes(3'000'000, 'x');
  for (std::size_t i = 0; i < bytes.size(); i += 997) bytes[i] = static_cast<char>('0' + i % 10);
  const std::string path = Write("big.txt", bytes);
  const int file = ::open(path.c_str(), O_RDONLY);
  InputBytes read = ReadDescriptor(file, bytes.size());
  ::close(file);
  EXPECT_TRUE(read.error.empty());
  EXPECT_FALSE(read.too_large);
  EXPECT_TRUE(read.bytes == bytes);

  std::istringstream in(bytes);
  EXPECT_TRUE(ReadStream(in, bytes.size()).bytes == bytes);
  std::istringstream longer(bytes);
  EXPECT_TRUE(ReadStream(longer, bytes.size() - 1).too_large);

#if defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "WebAssembly under node has no threads to fill a pipe";
#endif
  // A pipe has no length to go by: blocks, joined.
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  std::thread writer([&] {
    EXPECT_EQ(WriteDescriptor(pipe_fds[1], bytes), "");
    ::close(pipe_fds[1]);
  });
  read = ReadDescriptor(pipe_fds[0], bytes.size());
  writer.join();
  ::close(pipe_fds[0]);
  EXPECT_TRUE(read.error.empty());
  EXPECT_TRUE(read.bytes == bytes);
}

TEST(Runner, DialogLinesKeepTheirFields) {
  // A tab, a line break and a literal "(cancel)" typed as answers.
  CliRun run =
      Cli({"--answer", "2\t", "--answer", "1\r\n", "--answer", "(cancel)", "power"}, "2 1\r\n1 2");
  EXPECT_EQ(run.status, 0);
  std::istringstream lines(run.err);
  std::vector<std::string> answers;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;
    if (line.rfind("input\t", 0) == 0) answers.push_back(line.substr(line.rfind('\t') + 1));
  }
  EXPECT_EQ(answers, (std::vector<std::string>{"2\\t", "1\\n", "\\(cancel)"})) << run.err;
  run = Cli({"power"}, "2 1\r\n1 2");
  EXPECT_EQ(run.err, "input\t输入数据\t输入矩阵的阶数 n：\t3\t(cancel)\n");
}

}  // namespace
}  // namespace matcalc
