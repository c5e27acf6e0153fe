#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/runner.h"
#include "text/encoding.h"

namespace matcalc {
namespace {

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
  const CliRun run = Cli({"vector-norms", Write("bom.txt", "\xEF\xBB\xBF" "3 -4")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kNormsOfThreeMinusFour);
}

TEST_F(RunnerFiles, Gb18030FileIsRead) {
  // "3 -4 一二" in GB18030 (not valid UTF-8): the characters are an entry worth 0.
  const CliRun run = Cli({"vector-norms", Write("gb.txt", "3 -4 \xD2\xBB\xB6\xFE\r\n")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("    3    -4    0\r\n", 0), 0u) << run.out;
}

// GB18030 text is decoded by the C library's converter. A cross build run
// under an emulator may lack the target's converter modules (qemu-aarch64 with
// Debian's cross libraries has none); a real system of that kind has them.
bool HaveGb18030Converter() {
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

TEST(DecodeText, Utf8OrElseGb18030) {
  if (!HaveGb18030Converter()) {
    GTEST_SKIP() << "this system's C library has no GB18030 converter";
  }
  EXPECT_EQ(DecodeText("\xD2\xBB\xB6\xFE"), "一二");
  // Alone, the two bytes of 一 are valid UTF-8 (U+04BB), and UTF-8 wins.
  EXPECT_EQ(DecodeText("\xD2\xBB"), "\xD2\xBB");
  EXPECT_EQ(DecodeText("\xC4\xE3\xBA\xC3 1"), "你好 1");
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF" "一"), "一");
  EXPECT_EQ(DecodeText("一 2"), "一 2");
  EXPECT_EQ(DecodeText("plain"), "plain");
  EXPECT_EQ(DecodeText(""), "");
  // Bytes that are neither become replacement characters, the rest survives.
  EXPECT_EQ(DecodeText("1\xFF" "2"), "1\xEF\xBF\xBD" "2");
  EXPECT_EQ(DecodeText("3\xD2"), "3\xEF\xBF\xBD");
}

TEST(DecodeText, ValidUtf8) {
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

}  // namespace
}  // namespace matcalc
