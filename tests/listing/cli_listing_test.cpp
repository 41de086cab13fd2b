// folios listing: the command's wiring, run as a user runs it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>

#include "test_support.h"

namespace folios {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class CliListing : public testing::Test {
 protected:
  void SetUp() override {
    WriteFile(settings_.data_dir() + "/noise-chars.lfx", "");
    golden_ = test::TestSourceDir() + "/listing/golden";
  }
  // Runs folios in the work directory; the exit status.
  int Folios(const std::string& args, std::string* out = nullptr) {
    std::string command = "cd '" + dir_.path() + "' && '" FOLIOS_BIN_DIR "/folios' listing " +
                          "--set m_use_advanced_options=0 --set m_cfiles='" + golden_ +
                          "/keywords.lfx' " + args + " > stdout.txt 2> stderr.txt";
    int status = system(command.c_str());
    if (out) *out = ReadFile(dir_.File("stdout.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  test::ScopedSettings settings_;
  TempDir dir_;
  std::string golden_;
};

TEST_F(CliListing, WritesTheGoldenDocument) {
  fs::copy_file(golden_ + "/c-defaults/main.c", dir_.File("main.c"));
  ASSERT_EQ(Folios("-o out.rtf main.c"), 0) << ReadFile(dir_.File("stderr.txt"));
  // The command names files by their full paths, as the file list does.
  std::string expected = ReadFile(golden_ + "/c-defaults/expected.rtf");
  size_t header = expected.find("\\lang1033main.c{");
  ASSERT_NE(header, std::string::npos);
  expected.replace(header + 9, 6, dir_.File("main.c"));
  EXPECT_EQ(test::FirstDifference(expected, ReadFile(dir_.File("out.rtf"))), "");
  std::string stdout_text;
  ASSERT_EQ(Folios("-o - main.c", &stdout_text), 0);
  EXPECT_EQ(test::FirstDifference(expected, stdout_text), "");
}

TEST_F(CliListing, SetOverridesWithoutStoring) {
  WriteFile(dir_.File("a.c"), "x\n");
  ASSERT_EQ(Folios("--set m_uselinenumbers=0 --set m_startat=41 -o out.rtf a.c"), 0);
  EXPECT_NE(ReadFile(dir_.File("out.rtf")).find("\\par }{41 x\n"), std::string::npos);
  EXPECT_FALSE(test::FileExists(settings_.config_dir() + "/settings.ini") &&
               ReadFile(settings_.config_dir() + "/settings.ini").find("m_startat") !=
                   std::string::npos);
}

TEST_F(CliListing, DefaultNameIsTheLastInputsName) {
  WriteFile(dir_.File("proj/src/a.c"), "x\n");
  ASSERT_EQ(Folios("--types cpp proj"), 0) << ReadFile(dir_.File("stderr.txt"));
  EXPECT_TRUE(test::FileExists(dir_.File("proj.rtf")));
  WriteFile(dir_.File("ring.c"), "y\n");
  ASSERT_EQ(Folios("ring.c"), 0);
  EXPECT_TRUE(test::FileExists(dir_.File("ring.rtf")));
}

TEST_F(CliListing, ExitStatus) {
  WriteFile(dir_.File("a.c"), "x\n");
  EXPECT_EQ(Folios(""), 2);
  EXPECT_EQ(Folios("--bogus a.c"), 2);
  EXPECT_EQ(Folios("--set no_such_setting=1 a.c"), 2);
  EXPECT_EQ(Folios("-o"), 2);
  // A missing file is listed with a note, the others are listed, status 1.
  EXPECT_EQ(Folios("-o out.rtf a.c gone.c"), 1);
  std::string doc = ReadFile(dir_.File("out.rtf"));
  EXPECT_NE(doc.find("This file could not be read"), std::string::npos);
  EXPECT_NE(ReadFile(dir_.File("stderr.txt")).find("gone.c"), std::string::npos);
  EXPECT_EQ(Folios("--help"), 0);
}

TEST_F(CliListing, UnwritableOutputKeepsNothingAndFails) {
  WriteFile(dir_.File("a.c"), "x\n");
  EXPECT_EQ(Folios("-o missing-dir/out.rtf a.c"), 1);
  EXPECT_NE(ReadFile(dir_.File("stderr.txt")).find("cannot write"), std::string::npos);
}

}  // namespace
}  // namespace folios
