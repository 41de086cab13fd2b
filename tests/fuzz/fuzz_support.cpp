#include "fuzz_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "registry.h"
#include "rtf_check.h"
#include "settings_table.h"

namespace folios::fuzz {

FuzzInput::FuzzInput(const uint8_t* data, size_t size, size_t header_size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  size_t head = std::min(size, header_size);
  header_ = all.substr(0, head);
  body_ = all.substr(head);
}

uint8_t FuzzInput::Byte(size_t index) const {
  return index < header_.size() ? static_cast<uint8_t>(header_[index]) : 0;
}

namespace {

std::string MakeWorkDirectory() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/folios-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) Fail("cannot create a work directory", pattern);
  for (const char* sub : {"/config", "/data", "/tmp"}) {
    std::filesystem::create_directories(pattern + sub);
  }
  setenv("FOLIOS_CONFIG_DIR", (pattern + "/config").c_str(), 1);
  setenv("FOLIOS_DATA_DIR", (pattern + "/data").c_str(), 1);
  setenv("TMPDIR", (pattern + "/tmp").c_str(), 1);
  setenv("TEMP", (pattern + "/tmp").c_str(), 1);
  // The directory goes when the process ends normally; libFuzzer's crash
  // path leaves it for inspection.
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(WorkDirectory(), ec);
  });
  return pattern;
}

}  // namespace

const std::string& WorkDirectory() {
  // Never destroyed, so that the removal at exit can still read it.
  static const std::string* dir = new std::string(MakeWorkDirectory());
  return *dir;
}

void SetSetting(const std::string& name, const std::string& value) {
  const SettingInfo* info = FindSettingAnyKey(name);
  if (!info) Fail("the fuzz target names an unknown setting", name);
  CRegistry::OverrideForThisRun(kLocalMachine, SettingKeyPath(info->key), info->name, value);
}

void WriteFileOrDie(const std::string& path, std::string_view content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  if (!out) Fail("cannot write a file of the fuzz run", path);
}

std::string ReadFileOrDie(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read a file of the fuzz run", path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::string ReadFileOr(const std::string& path, const std::string& fallback) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return fallback;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void Fail(const std::string& what, std::string_view detail) {
  constexpr size_t kShown = 400;
  std::fprintf(stderr, "\n==fuzz oracle== %s\n", what.c_str());
  if (!detail.empty()) {
    std::string shown(detail.substr(0, kShown));
    for (char& c : shown) {
      if (static_cast<unsigned char>(c) < 32 && c != '\n') c = '?';
    }
    std::fprintf(stderr, "%s%s\n", shown.c_str(), detail.size() > kShown ? " ..." : "");
  }
  std::fflush(stderr);
  std::abort();
}

void RequireRtf(std::string_view rtf, const std::string& what) {
  std::string problem;
  size_t offset = 0;
  if (CheckRtfDocument(rtf, &problem, &offset)) return;
  constexpr size_t kBefore = 300;
  size_t from = offset > kBefore ? offset - kBefore : 0;
  Fail(what + " is not well-formed RTF: " + problem, rtf.substr(from, kBefore + 100));
}

std::string Repeated(std::string_view body, size_t size) {
  std::string text;
  if (body.empty()) return text;
  text.reserve(size + body.size());
  while (text.size() < size) text.append(body);
  return text;
}

}  // namespace folios::fuzz
