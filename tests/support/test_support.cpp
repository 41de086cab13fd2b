#include "test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace folios::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "folios-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a temporary directory";
  }
  path_ = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave read-only entries behind; make them removable first.
  for (auto it = fs::recursive_directory_iterator(path_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const { return path_ + "/" + name; }

namespace {

void SaveEnv(const char* name, std::string* old, bool* had) {
  const char* value = getenv(name);
  *had = value != nullptr;
  if (value) *old = value;
}

void RestoreEnv(const char* name, const std::string& old, bool had) {
  if (had) {
    setenv(name, old.c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

ScopedSettings::ScopedSettings() {
  config_dir_ = dir_.File("config");
  data_dir_ = dir_.File("data");
  fs::create_directories(config_dir_);
  fs::create_directories(data_dir_);
  SaveEnv("FOLIOS_CONFIG_DIR", &old_config_, &had_config_);
  SaveEnv("FOLIOS_DATA_DIR", &old_data_, &had_data_);
  setenv("FOLIOS_CONFIG_DIR", config_dir_.c_str(), 1);
  setenv("FOLIOS_DATA_DIR", data_dir_.c_str(), 1);
}

ScopedSettings::~ScopedSettings() {
  RestoreEnv("FOLIOS_CONFIG_DIR", old_config_, had_config_);
  RestoreEnv("FOLIOS_DATA_DIR", old_data_, had_data_);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return std::string();
  }
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) ADD_FAILURE() << "cannot write " << path;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return std::string();
  std::istringstream e(expected);
  std::istringstream a(actual);
  std::string el;
  std::string al;
  for (int line = 1;; ++line) {
    bool more_e = static_cast<bool>(std::getline(e, el));
    bool more_a = static_cast<bool>(std::getline(a, al));
    if (!more_e && !more_a) break;
    if (!more_e || !more_a || el != al) {
      std::ostringstream out;
      out << "first difference at line " << line << "\n  expected: "
          << (more_e ? el : "<end of text>") << "\n  actual:   " << (more_a ? al : "<end of text>");
      return out.str();
    }
  }
  return "the texts differ only in their final line break";
}

std::vector<std::string> SlowListingSources(const std::string& path, const std::string& named) {
  std::string text;
  text.reserve(2 << 20);
  for (int i = 0; text.size() < (2u << 20); ++i) {
    text += "int value_" + std::to_string(i) + " = compute(alpha, \"beta\") + 42; /* note */\n";
  }
  WriteFile(path, text);
  return std::vector<std::string>(100, named);
}

std::string TestSourceDir() { return FOLIOS_TEST_SOURCE_DIR; }

}  // namespace folios::test
