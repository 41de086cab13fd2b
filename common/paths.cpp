#include "paths.h"

#include <filesystem>
#include <vector>

namespace folios {

namespace {

size_t LastSlash(std::string_view path) { return path.rfind('/'); }

bool IsUtf8Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Byte offsets at which characters start (UTF-8 lead bytes and stray bytes alike).
std::vector<size_t> CharacterStarts(std::string_view text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsUtf8Continuation(static_cast<unsigned char>(text[i])) || starts.empty()) {
      starts.push_back(i);
    }
  }
  return starts;
}

}  // namespace

std::string FileName(std::string_view path) {
  size_t slash = LastSlash(path);
  if (slash == std::string_view::npos) return std::string();
  return std::string(path.substr(slash + 1));
}

std::string Directory(std::string_view path) {
  size_t slash = LastSlash(path);
  if (slash == std::string_view::npos) return std::string();
  return std::string(path.substr(0, slash));
}

std::string Drive(std::string_view path) { return std::string(path.substr(0, 2)); }

std::string Extension(std::string_view path) {
  size_t slash = LastSlash(path);
  size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot <= name_start) return std::string();
  return ToLowerAscii(path.substr(dot + 1));
}

std::string JoinRowPath(std::string_view directory, std::string_view file_name) {
  std::string path(directory);
  path += '/';
  path += file_name;
  return path;
}

std::string ShortenPath(std::string_view path, int n) {
  std::vector<size_t> starts = CharacterStarts(path);
  if (n < 0) n = 0;
  size_t count = starts.size();
  if (count <= static_cast<size_t>(n)) return std::string(path);
  size_t head_chars = 3;
  size_t tail_chars = n > 5 ? static_cast<size_t>(n - 5) : 0;
  size_t head_end = head_chars < count ? starts[head_chars] : path.size();
  std::string result(path.substr(0, head_end));
  result += "...";
  if (tail_chars > 0) result += path.substr(starts[count - tail_chars]);
  return result;
}

std::string AbsolutePath(std::string_view path) {
  std::error_code ec;
  std::filesystem::path p(path);
  std::filesystem::path abs = std::filesystem::absolute(p, ec);
  if (ec) abs = p;
  std::string text = abs.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string ToLowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace folios
