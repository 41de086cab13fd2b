// The driver that replays inputs through a fuzz target in builds without
// libFuzzer: every regular file named, or found below a named directory, is
// fed to LLVMFuzzerTestOneInput once per header given.
//
//   replay [--known LIST] [--header HEX]... PATH...
//
// --known LIST: inputs listed there ("TARGET/FILE  reason", one a line, "#"
//   starts a comment) are known findings still open: they are skipped with
//   a note naming them, so that the replay passes until they are mended.
// --header HEX: bytes put in front of each file (for plain source files
//   used as bodies); without it each file is replayed as it is.
// An oracle that fails aborts the process, naming the input first.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

bool ReadAll(const fs::path& path, std::string* content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  *content = text.str();
  return true;
}

// "TARGET/FILE" -> reason.
std::map<std::string, std::string> ReadKnownFindings(const std::string& list) {
  std::map<std::string, std::string> known;
  std::ifstream in(list);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    size_t end = line.find_first_of(" \t");
    std::string name = line.substr(0, end);
    std::string reason = end == std::string::npos ? "" : line.substr(line.find_first_not_of(" \t", end));
    known[name] = reason;
  }
  return known;
}

bool ParseHex(const std::string& hex, std::string* bytes) {
  if (hex.size() % 2 != 0) return false;
  bytes->clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    char* end = nullptr;
    std::string pair = hex.substr(i, 2);
    long value = std::strtol(pair.c_str(), &end, 16);
    if (*end != '\0') return false;
    bytes->push_back(static_cast<char>(value));
  }
  return true;
}

// Every regular file at or below `path`, sorted, for a stable order.
std::vector<fs::path> FilesBelow(const fs::path& path) {
  std::vector<fs::path> files;
  if (fs::is_directory(path)) {
    for (const auto& entry : fs::recursive_directory_iterator(path)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
  } else {
    files.push_back(path);
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> known;
  std::vector<std::string> headers;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--known" || arg == "--header") && i + 1 < argc) {
      std::string value = argv[++i];
      if (arg == "--known") {
        known = ReadKnownFindings(value);
      } else {
        std::string bytes;
        if (!ParseHex(value, &bytes)) {
          std::fprintf(stderr, "replay: bad header '%s'\n", value.c_str());
          return 2;
        }
        headers.push_back(bytes);
      }
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.empty()) {
    std::fprintf(stderr, "usage: replay [--known LIST] [--header HEX]... PATH...\n");
    return 2;
  }
  if (headers.empty()) headers.push_back(std::string());

  size_t replayed = 0;
  size_t skipped = 0;
  for (const std::string& path : paths) {
    if (!fs::exists(path)) {
      std::fprintf(stderr, "replay: no such input '%s'\n", path.c_str());
      return 2;
    }
    for (const fs::path& file : FilesBelow(path)) {
      // Known findings are named by their last directory and file name.
      std::string name = file.parent_path().filename().string() + "/" + file.filename().string();
      auto found = known.find(name);
      if (found != known.end()) {
        std::printf("skipped known finding %s: %s\n", name.c_str(), found->second.c_str());
        ++skipped;
        continue;
      }
      std::string content;
      if (!ReadAll(file, &content)) {
        std::fprintf(stderr, "replay: cannot read '%s'\n", file.c_str());
        return 2;
      }
      for (const std::string& header : headers) {
        std::string input = header + content;
        // Named first, so that a crash or a failed oracle shows the input.
        std::fprintf(stderr, "replaying %s\n", file.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
        ++replayed;
      }
    }
  }
  std::printf("replayed %zu inputs, skipped %zu known findings\n", replayed, skipped);
  return 0;
}
