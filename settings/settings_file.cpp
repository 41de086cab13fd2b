#include "settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <algorithm>
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

namespace {

std::vector<std::string> HeaderLines() {
  std::vector<std::string> lines;
  std::string_view text = kHeader;
  while (!text.empty()) {
    size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

const std::string* SettingsKey::Find(const std::string& name) const {
  auto found = index.find(ToLowerAscii(name));
  return found == index.end() ? nullptr : &lines[found->second].value;
}

SettingsData SettingsData::Parse(std::string_view text) {
  SettingsData data;
  if (text.empty()) data.preamble_ = HeaderLines();
  // Kept lines go to the section they appear in, or before the first one.
  SettingsKey* current = nullptr;
  auto keep = [&](std::string_view line) {
    if (current) {
      current->lines.push_back({std::string(), std::string(), std::string(line)});
    } else {
      data.preamble_.emplace_back(line);
    }
  };
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';') {
      keep(line);
      continue;
    }
    if (line.front() == '[') {
      size_t close = line.rfind(']');
      if (close == std::string_view::npos || close == 1) {
        // A damaged header: its values are kept as text rather than misfiled.
        keep(line);
        continue;
      }
      std::string path(line.substr(1, close - 1));
      bool seen = data.FindKey(path) != nullptr;
      current = &data.CreateKey(path);
      if (seen) {
        // A second section of one key: its header stays, its values join the key.
        current->lines.push_back({std::string(), std::string(), std::string(line)});
      } else {
        current->header = std::string(line);
      }
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || current == nullptr) {
      keep(line);
      continue;
    }
    std::string_view raw_name = line.substr(0, eq);
    while (!raw_name.empty() && (raw_name.back() == ' ' || raw_name.back() == '\t')) {
      raw_name.remove_suffix(1);
    }
    while (!raw_name.empty() && (raw_name.front() == ' ' || raw_name.front() == '\t')) {
      raw_name.remove_prefix(1);
    }
    if (raw_name.empty()) {
      keep(line);
      continue;
    }
    std::string name = UnescapeSettingsText(raw_name);
    std::string lower = ToLowerAscii(name);
    auto found = current->index.find(lower);
    if (found != current->index.end()) {
      // The later line wins, as it always did; the earlier one is kept as text.
      current->lines[found->second].name.clear();
      found->second = current->lines.size();
    } else {
      current->index.emplace(lower, current->lines.size());
    }
    current->lines.push_back({std::move(name), UnescapeSettingsText(line.substr(eq + 1)), std::string(line)});
  }
  return data;
}

namespace {

// Writes a line as it was read. The reader takes one CR before the line
// feed as part of the line end, so a line whose text itself ends in a CR
// gets a CR LF end, and reads back as it was.
void AppendReadLine(std::string* out, const std::string& text) {
  *out += text;
  if (!text.empty() && text.back() == '\r') *out += '\r';
  *out += '\n';
}

}  // namespace

std::string SettingsData::Serialize() const {
  std::string out;
  for (const std::string& line : preamble_) AppendReadLine(&out, line);
  for (const SettingsKey& key : keys_) {
    if (key.header.empty()) {
      // A new section is set off by a blank line, as people write them.
      if (!out.empty() && out.compare(out.size() - std::min<size_t>(out.size(), 2), 2, "\n\n") != 0) {
        out += '\n';
      }
      out += '[';
      out += key.path;
      out += "]\n";
    } else {
      AppendReadLine(&out, key.header);
    }
    for (const SettingsLine& line : key.lines) {
      if (!line.raw.empty() || line.name.empty()) {
        AppendReadLine(&out, line.raw);
      } else {
        out += EscapeSettingsText(line.name, true);
        out += '=';
        out += EscapeSettingsText(line.value, false);
        out += '\n';
      }
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
  keys_.push_back(SettingsKey{full_key, {}, {}, {}});
  return keys_.back();
}

const std::string* SettingsData::FindValue(const std::string& full_key,
                                           const std::string& name) const {
  const SettingsKey* key = FindKey(full_key);
  return key ? key->Find(name) : nullptr;
}

void SettingsData::SetValue(const std::string& full_key, const std::string& name,
                            const std::string& text) {
  SettingsKey& key = CreateKey(full_key);
  std::string lower = ToLowerAscii(name);
  auto found = key.index.find(lower);
  if (found != key.index.end()) {
    SettingsLine& line = key.lines[found->second];
    if (line.value != text) {
      line.value = text;
      line.raw.clear();
    }
    return;
  }
  // A new value goes after the section's last value, so that comments and
  // blank lines setting off the next section stay before that section.
  size_t at = key.lines.size();
  if (key.index.empty()) {
    while (at > 0 && key.lines[at - 1].raw.empty()) --at;
  } else {
    at = 0;
    for (const auto& [other, position] : key.index) at = std::max(at, position + 1);
  }
  for (auto& [other, position] : key.index) {
    if (position >= at) ++position;
  }
  key.lines.insert(key.lines.begin() + static_cast<std::ptrdiff_t>(at), SettingsLine{name, text, std::string()});
  key.index.emplace(lower, at);
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
  Status unreadable;  // why the file could not be read, when it could not
  SettingsData data;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// Brings the cache up to date with the file. REQUIRES: cache.mutex held.
// A file that exists but cannot be read reads as empty and is marked so
// that no change is ever written over it.
void Refresh(Cache& cache, const std::string& path) {
  FileIdentity id = Identify(path);
  if (cache.valid && cache.path == path && cache.identity == id) return;
  std::string text;
  cache.unreadable = Status::OK();
  if (id.exists) {
    Status read = ReadWholeFile(path, &text);
    if (!read.ok()) {
      text.clear();
      cache.unreadable = read;
    }
  }
  cache.data = SettingsData::Parse(text);
  cache.path = path;
  cache.identity = id;
  // An unreadable file is looked at again on every call.
  cache.valid = cache.unreadable.ok();
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
Status Modify(Change change) {
  std::string dir = CRegistry::StoreDirectory();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  StoreLock lock(dir);
  std::string path = CRegistry::StoreFile();
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.mutex);
  cache.valid = false;  // another process may have written within the same tick
  Refresh(cache, path);
  if (!cache.unreadable.ok()) {
    return Status::Error("cannot read '" + path + "': " + cache.unreadable.message() +
                         "; it was left as it was");
  }
  if (!change(cache.data)) return Status::OK();
  Status written = WriteFileAtomically(path, cache.data.Serialize());
  if (written.ok()) {
    cache.identity = Identify(path);
  } else {
    cache.valid = false;  // the write was dropped; forget the change
    written = Status::Error("cannot write '" + path + "': " + written.message());
  }
  return written;
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

Status SettingsFile::Write(const std::string& full_key, const std::string& name,
                          const std::string& text) {
  return Modify([&](SettingsData& data) {
    const std::string* old = data.FindValue(full_key, name);
    if (old && *old == text) return false;
    data.SetValue(full_key, name, text);
    return true;
  });
}

Status SettingsFile::DeleteTree(const std::string& full_key) {
  return Modify([&](SettingsData& data) { return data.DeleteTree(full_key); });
}

SettingsData SettingsFile::Snapshot() {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.mutex);
  Refresh(cache, CRegistry::StoreFile());
  return cache.data;
}

}  // namespace folios
