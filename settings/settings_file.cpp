#include "settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>

#include "atomic_file.h"
#include "paths.h"
#include "registry.h"

namespace folios {

namespace {

const char kHeader[] =
    "; Lumentra Folios settings. One [ROOT\\key path] section per key, one NAME=TEXT line per\n"
    "; value. In names and texts \\\\ is a backslash, \\n a line feed, \\r a carriage return\n"
    "; and \\xHH any other control byte.\n";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string EscapeSettingsText(std::string_view text, bool is_name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    bool special_in_name = is_name && (c == '=' || (i == 0 && (c == '[' || c == ';' || c == ' ')) ||
                                       (i + 1 == text.size() && c == ' '));
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F || special_in_name) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string UnescapeSettingsText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\' || i + 1 >= text.size()) {
      out += c;
      continue;
    }
    char next = text[i + 1];
    if (next == '\\') {
      out += '\\';
      ++i;
    } else if (next == 'n') {
      out += '\n';
      ++i;
    } else if (next == 'r') {
      out += '\r';
      ++i;
    } else if (next == 'x' && i + 3 < text.size() && HexValue(text[i + 2]) >= 0 &&
               HexValue(text[i + 3]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
      i += 3;
    } else {
      out += c;  // a lone backslash written by hand stays as it is
    }
  }
  return out;
}

SettingsData SettingsData::Parse(std::string_view text) {
  SettingsData data;
  SettingsKey* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      size_t close = line.rfind(']');
      if (close == std::string_view::npos || close == 1) {
        current = nullptr;  // a damaged header: skip its values rather than misfile them
        continue;
      }
      current = &data.CreateKey(std::string(line.substr(1, close - 1)));
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || current == nullptr) continue;
    std::string_view raw_name = line.substr(0, eq);
    while (!raw_name.empty() && (raw_name.back() == ' ' || raw_name.back() == '\t')) {
      raw_name.remove_suffix(1);
    }
    while (!raw_name.empty() && (raw_name.front() == ' ' || raw_name.front() == '\t')) {
      raw_name.remove_prefix(1);
    }
    if (raw_name.empty()) continue;
    std::string name = UnescapeSettingsText(raw_name);
    std::string value = UnescapeSettingsText(line.substr(eq + 1));
    std::string lower = ToLowerAscii(name);
    auto found = current->index.find(lower);
    if (found != current->index.end()) {
      current->values[found->second].second = std::move(value);
    } else {
      current->index.emplace(lower, current->values.size());
      current->values.emplace_back(std::move(name), std::move(value));
    }
  }
  return data;
}

std::string SettingsData::Serialize() const {
  std::string out = kHeader;
  for (const SettingsKey& key : keys_) {
    out += '\n';
    out += '[';
    out += key.path;
    out += "]\n";
    for (const auto& [name, value] : key.values) {
      out += EscapeSettingsText(name, true);
      out += '=';
      out += EscapeSettingsText(value, false);
      out += '\n';
    }
  }
  return out;
}

const SettingsKey* SettingsData::FindKey(const std::string& full_key) const {
  auto found = key_index_.find(ToLowerAscii(full_key));
  return found == key_index_.end() ? nullptr : &keys_[found->second];
}

SettingsKey& SettingsData::CreateKey(const std::string& full_key) {
  std::string lower = ToLowerAscii(full_key);
  auto found = key_index_.find(lower);
  if (found != key_index_.end()) return keys_[found->second];
  key_index_.emplace(lower, keys_.size());
  keys_.push_back(SettingsKey{full_key, {}, {}});
  return keys_.back();
}

const std::string* SettingsData::FindValue(const std::string& full_key,
                                           const std::string& name) const {
  const SettingsKey* key = FindKey(full_key);
  if (!key) return nullptr;
  auto found = key->index.find(ToLowerAscii(name));
  return found == key->index.end() ? nullptr : &key->values[found->second].second;
}

void SettingsData::SetValue(const std::string& full_key, const std::string& name,
                            const std::string& text) {
  SettingsKey& key = CreateKey(full_key);
  std::string lower = ToLowerAscii(name);
  auto found = key.index.find(lower);
  if (found != key.index.end()) {
    key.values[found->second].second = text;
  } else {
    key.index.emplace(lower, key.values.size());
    key.values.emplace_back(name, text);
  }
}

bool SettingsData::DeleteTree(const std::string& full_key) {
  std::string lower = ToLowerAscii(full_key);
  std::string prefix = lower + "\\";
  size_t before = keys_.size();
  std::erase_if(keys_, [&](const SettingsKey& key) {
    std::string k = ToLowerAscii(key.path);
    return k == lower || k.compare(0, prefix.size(), prefix) == 0;
  });
  if (keys_.size() == before) return false;
  Reindex();
  return true;
}

void SettingsData::Reindex() {
  key_index_.clear();
  for (size_t i = 0; i < keys_.size(); ++i) key_index_.emplace(ToLowerAscii(keys_[i].path), i);
}

namespace {

struct FileIdentity {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  long long mtime_ns = 0;
  long long ctime_ns = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity Identify(const std::string& path) {
  FileIdentity id;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return id;
  id.exists = true;
  id.dev = st.st_dev;
  id.ino = st.st_ino;
  id.size = st.st_size;
  id.mtime_ns = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  id.ctime_ns = static_cast<long long>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec;
  return id;
}

// The last parsed state of the store file, keyed by its path and identity.
struct Cache {
  std::mutex mutex;
  std::string path;
  FileIdentity identity;
  bool valid = false;
  SettingsData data;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// Brings the cache up to date with the file. REQUIRES: cache.mutex held.
void Refresh(Cache& cache, const std::string& path) {
  FileIdentity id = Identify(path);
  if (cache.valid && cache.path == path && cache.identity == id) return;
  std::string text;
  if (id.exists) {
    if (!ReadWholeFile(path, &text).ok()) text.clear();
  }
  cache.data = SettingsData::Parse(text);
  cache.path = path;
  cache.identity = id;
  cache.valid = true;
}

// Holds an exclusive lock on the store's lock file so that two processes
// changing settings at once do not lose each other's values.
class StoreLock {
 public:
  explicit StoreLock(const std::string& dir) {
    fd_ = open((dir + "/settings.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~StoreLock() {
    if (fd_ >= 0) close(fd_);
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  int fd_ = -1;
};

template <typename Change>
void Modify(Change change) {
  std::string dir = CRegistry::StoreDirectory();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  StoreLock lock(dir);
  std::string path = CRegistry::StoreFile();
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.mutex);
  cache.valid = false;  // another process may have written within the same tick
  Refresh(cache, path);
  if (!change(cache.data)) return;
  if (WriteFileAtomically(path, cache.data.Serialize()).ok()) {
    cache.identity = Identify(path);
  } else {
    cache.valid = false;  // the write was dropped; forget the change
  }
}

}  // namespace

std::optional<std::string> SettingsFile::Read(const std::string& full_key,
                                              const std::string& name, bool create_missing_key) {
  std::string path = CRegistry::StoreFile();
  Cache& cache = TheCache();
  bool key_missing;
  {
    std::lock_guard<std::mutex> guard(cache.mutex);
    Refresh(cache, path);
    if (const std::string* value = cache.data.FindValue(full_key, name)) return *value;
    key_missing = cache.data.FindKey(full_key) == nullptr;
  }
  if (key_missing && create_missing_key) {
    Modify([&](SettingsData& data) {
      if (data.FindKey(full_key)) return false;
      data.CreateKey(full_key);
      return true;
    });
  }
  return std::nullopt;
}

void SettingsFile::Write(const std::string& full_key, const std::string& name,
                         const std::string& text) {
  Modify([&](SettingsData& data) {
    const std::string* old = data.FindValue(full_key, name);
    if (old && *old == text) return false;
    data.SetValue(full_key, name, text);
    return true;
  });
}

void SettingsFile::DeleteTree(const std::string& full_key) {
  Modify([&](SettingsData& data) { return data.DeleteTree(full_key); });
}

SettingsData SettingsFile::Snapshot() {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.mutex);
  Refresh(cache, CRegistry::StoreFile());
  return cache.data;
}

}  // namespace folios
