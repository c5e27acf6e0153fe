// matcalc-cli --series FILE: the convergence series as CSV beside the trace.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/runner.h"

namespace matcalc {
namespace {

std::string TempPath(const char* name) {
  return ::testing::TempDir() + name + std::to_string(::getpid()) + ".csv";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

TEST(SeriesFile, JacobiPassesAsCsvBesideAnUnchangedTrace) {
  const std::string path = TempPath("jacobi");
  std::istringstream in("2 1\r\n1 2");
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(
      RunCli({"--series", path, "--answer", "2", "--answer", "0.001", "jacobi"}, in, out, err), 0);
  EXPECT_EQ(ReadFile(path),
            "series,x,y\n"
            "非对角元的最大模,0,1\n"
            "非对角元的最大模,1,1.61554457443259E-15\n"
            "第 1 个对角元,0,2\n"
            "第 1 个对角元,1,3\n"
            "第 2 个对角元,0,2\n"
            "第 2 个对角元,1,1\n");
  // The trace is what it is without the option.
  std::istringstream again("2 1\r\n1 2");
  std::ostringstream plain;
  std::ostringstream plain_err;
  RunCli({"--answer", "2", "--answer", "0.001", "jacobi"}, again, plain, plain_err);
  EXPECT_EQ(out.str(), plain.str());
  EXPECT_EQ(err.str(), plain_err.str());
  std::remove(path.c_str());
}

TEST(SeriesFile, GivingUpEndsTheFileAndOtherMethodsWriteOnlyTheHeader) {
  const std::string path = TempPath("shift");
  std::istringstream in("2 0\r\n0 1");
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(RunCli({"--series", path, "--answer", "2", "--answer", "0", "--answer", "0", "--reply",
                    "no", "shift"},
                   in, out, err),
            0);
  const std::string csv = ReadFile(path);
  EXPECT_TRUE(csv.starts_with("series,x,y\n第 1 个分量的估计值,3,2\n")) << csv;
  EXPECT_TRUE(csv.ends_with("第 2 个分量的估计值,201,1\n未收敛,201,1\n")) << csv;

  std::istringstream determinant("1 2\r\n3 4");
  ASSERT_EQ(RunCli({"--series", path, "--answer", "2", "determinant"}, determinant, out, err), 0);
  EXPECT_EQ(ReadFile(path), "series,x,y\n");
  std::remove(path.c_str());
}

TEST(SeriesFile, FailuresAreReported) {
  std::istringstream in("2 1\r\n1 2");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunCli({"--answer", "2", "--answer", "0.001", "--series", "/nonexistent/folder/s.csv",
                    "jacobi"},
                   in, out, err),
            1);
  EXPECT_FALSE(out.str().empty()) << "the trace is still written";
  EXPECT_NE(err.str().find("matcalc-cli: cannot write /nonexistent/folder/s.csv: "),
            std::string::npos);

  std::istringstream none("1");
  std::ostringstream no_err;
  EXPECT_EQ(RunCli({"jacobi", "--series"}, none, out, no_err), 2);
  EXPECT_NE(no_err.str().find("--series needs a file name"), std::string::npos);
}

// The file is replaced whole through a temporary file beside it: the old
// file's permissions stay and nothing else is left in the folder. What is no
// regular file is written to directly, and its failure is told.
TEST(SeriesFile, ReplacesAFileWholeAndLeavesNothingBeside) {
  std::string folder = ::testing::TempDir() + "series-XXXXXX";
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);
  const std::string path = folder + "/s.csv";
  {
    std::ofstream old(path, std::ios::binary);
    old << "an old file, longer than the series it makes way for\n";
  }
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  std::istringstream in("2 1\r\n1 2");
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(
      RunCli({"--series", path, "--answer", "2", "--answer", "0.001", "jacobi"}, in, out, err), 0);
  EXPECT_TRUE(ReadFile(path).starts_with("series,x,y\n非对角元的最大模,0,1\n"));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  int entries = 0;
  DIR* dir = ::opendir(folder.c_str());
  ASSERT_NE(dir, nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] != '.' || std::string(entry->d_name).size() > 2) ++entries;
  }
  ::closedir(dir);
  EXPECT_EQ(entries, 1);
  std::remove(path.c_str());
  ::rmdir(folder.c_str());

  std::istringstream full_in("2 1\r\n1 2");
  std::ostringstream full_err;
  EXPECT_EQ(RunCli({"--series", "/dev/full", "--answer", "2", "--answer", "0.001", "jacobi"},
                   full_in, out, full_err),
            1);
  EXPECT_NE(full_err.str().find("matcalc-cli: cannot write /dev/full: "), std::string::npos);
}

}  // namespace
}  // namespace matcalc
