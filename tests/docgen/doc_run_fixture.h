// A documentation run in a temporary directory: the spool directory ($TEMP)
// of its own, the options parsed from a vector and run, the output kept.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_driver.h"
#include "test_support.h"

namespace folios::docgen {

class DocRunFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    spool_dir_ = dir_.File("spool");
    // A marker, so that a test can tell spool files from an empty directory.
    test::WriteFile(spool_dir_ + "/keep", "");
    const char* temp = std::getenv("TEMP");
    had_temp_ = temp != nullptr;
    if (temp) old_temp_ = temp;
    setenv("TEMP", spool_dir_.c_str(), 1);
  }
  void TearDown() override {
    if (had_temp_) {
      setenv("TEMP", old_temp_.c_str(), 1);
    } else {
      unsetenv("TEMP");
    }
  }
  // Parses `argv` and runs it; a usage error is returned without a run.
  int Run(std::vector<std::string> argv) {
    std::ostringstream out, err;
    DocOptions options;
    DocOptionCheck check = ParseDocOptions(argv, &options);
    if (check.code) return check.code;
    result_ = RunDocBuild(options, nullptr, out, err);
    out_ = out.str();
    err_ = err.str();
    // Every line written is kept in the result, in the same order.
    std::string kept;
    for (const DocError& error : result_.errors) kept += error.text + "\n";
    EXPECT_EQ(kept, err_);
    return result_.code;
  }
  // Writes a source into the test directory and gives its path.
  std::string Source(const std::string& name, const std::string& text) {
    test::WriteFile(dir_.File(name), text);
    return dir_.File(name);
  }

  test::TempDir dir_;
  std::string spool_dir_;
  std::string old_temp_;
  bool had_temp_ = false;
  std::string out_, err_;
  DocResult result_;
};

}  // namespace folios::docgen
