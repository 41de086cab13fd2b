// Helpers shared by the tests: temporary directories, a private settings
// store, and file reading and writing.
#pragma once

#include <string>
#include <vector>

namespace folios::test {

// A fresh directory below the system's temporary directory, removed with
// everything in it when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

// Points the settings store ($FOLIOS_CONFIG_DIR) and the user's data
// directory ($FOLIOS_DATA_DIR) at empty temporary directories for the
// lifetime of the object, and restores the previous environment after.
class ScopedSettings {
 public:
  ScopedSettings();
  ~ScopedSettings();
  ScopedSettings(const ScopedSettings&) = delete;
  ScopedSettings& operator=(const ScopedSettings&) = delete;

  const std::string& config_dir() const { return config_dir_; }
  const std::string& data_dir() const { return data_dir_; }

 private:
  TempDir dir_;
  std::string config_dir_;
  std::string data_dir_;
  std::string old_config_;
  std::string old_data_;
  bool had_config_ = false;
  bool had_data_ = false;
};

// The whole file; fails the current test when it cannot be read.
std::string ReadFile(const std::string& path);
// Writes the bytes, creating directories as needed.
void WriteFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);

// Empty when equal; otherwise a description naming the first differing line
// (1-based) with both versions of it, for a failure message.
std::string FirstDifference(const std::string& expected, const std::string& actual);

// Writes a 2 MB C source at `path` and returns its name `named` repeated
// often enough that listing them all takes seconds: a build that a test
// stops part way, once its temporary document exists, is still running.
std::vector<std::string> SlowListingSources(const std::string& path, const std::string& named);

// The directory of this test tree's sources (tests/), for golden files.
std::string TestSourceDir();

}  // namespace folios::test
