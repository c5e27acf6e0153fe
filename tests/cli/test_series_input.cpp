// --series naming the text the method reads, under any name: refused before
// the method runs, and the text stays.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "cli/runner.h"

namespace matcalc {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

class SeriesInput : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "series_input" + std::to_string(::getpid()) + ".txt";
    link_ = path_ + ".link";
    std::ofstream(path_, std::ios::binary) << kText;
  }
  void TearDown() override {
    std::remove(path_.c_str());
    std::remove(link_.c_str());
  }
  // Runs the runner on descriptors, standard input reading `in_fd`.
  int Run(const std::vector<std::string>& args, int in_fd, std::string& err) {
    const int out = ::open("/dev/null", O_WRONLY);
    std::ostringstream errors;
    const int status = RunCliOnDescriptors(args, in_fd, out, errors);
    ::close(out);
    err = errors.str();
    return status;
  }

  static constexpr std::string_view kText = "2 1\r\n1 2";
  std::string path_;
  std::string link_;
};

TEST_F(SeriesInput, TheInputFileUnderAnyNameIsRefused) {
  std::vector<std::string> names = {path_};
#ifndef __EMSCRIPTEN__
  // A second name of the same file (node's file system, as Emscripten
  // reaches it, makes no hard links).
  ASSERT_EQ(::link(path_.c_str(), link_.c_str()), 0);
  names.push_back(link_);
#endif
  for (const std::string& csv : names) {
    std::string err;
    EXPECT_EQ(Run({"--series", csv, "--answer", "2", "--answer", "0", "jacobi", path_}, -1, err),
              2);
    EXPECT_EQ(err, "matcalc-cli: the CSV file is the input file: " + path_ + "\n");
    EXPECT_EQ(ReadFile(path_), kText);
  }
  // Standard input reading the file.
  const int in = ::open(path_.c_str(), O_RDONLY);
  ASSERT_GE(in, 0);
  std::string err;
  EXPECT_EQ(Run({"--series", names.back(), "--answer", "2", "jacobi"}, in, err), 2);
  ::close(in);
  EXPECT_EQ(err, "matcalc-cli: the CSV file is the input file: standard input\n");
  EXPECT_EQ(ReadFile(path_), kText);
}

TEST_F(SeriesInput, AnotherFileIsWritten) {
  const std::string csv = path_ + ".csv";
  std::string err;
  EXPECT_EQ(Run({"--series", csv, "--answer", "2", "--answer", "0.001", "jacobi", path_}, -1, err),
            0);
  EXPECT_TRUE(ReadFile(csv).starts_with("series,x,y\n")) << err;
  EXPECT_EQ(ReadFile(path_), kText);
  std::remove(csv.c_str());
}

}  // namespace
}  // namespace matcalc
