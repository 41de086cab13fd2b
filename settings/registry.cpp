#include "registry.h"

#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>

#include "data_files.h"
#include "paths.h"
#include "settings_file.h"

namespace folios {

namespace {

const char* RootName(int root) {
  static const char* const kNames[] = {
      "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",    "HKEY_LOCAL_MACHINE", "HKEY_USERS",
      "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
  };
  if (root < 0 || root > 6) return nullptr;
  return kNames[root];
}

// The section name of a key, or empty when the key cannot exist (no root, or
// a path holding line breaks or a "]" the file could not carry).
std::string FullKey(int root, const std::string& subkey) {
  const char* root_name = RootName(root);
  if (!root_name) return std::string();
  for (char c : subkey) {
    if (c == '\n' || c == '\r' || c == ']') return std::string();
  }
  std::string key = root_name;
  if (!subkey.empty()) {
    key += '\\';
    key += subkey;
  }
  return key;
}

struct Overrides {
  std::mutex mutex;
  std::map<std::string, std::string> values;  // lower-case "full key\name" -> text
  std::map<std::string, std::string> layer;   // the same, under the values
  bool any = false;
};

Overrides& TheOverrides() {
  static Overrides overrides;
  return overrides;
}

std::string OverrideKey(const std::string& full_key, const std::string& name) {
  return ToLowerAscii(full_key + "\n" + name);
}

}  // namespace

CRegistry::CRegistry() = default;

CRegistry::CRegistry(int root, std::string key_path) : root_(root), key_path_(std::move(key_path)) {}

CRegistry::~CRegistry() = default;

std::string CRegistry::StoreDirectory() {
  if (const char* dir = std::getenv("FOLIOS_CONFIG_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    return std::string(xdg) + "/lumentra-folios";
  }
  return HomeDirectory() + "/.config/lumentra-folios";
}

std::string CRegistry::StoreFile() { return StoreDirectory() + "/settings.ini"; }

int CRegistry::AtoiRule(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i++] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

void CRegistry::WriteInt(int root, const std::string& subkey, const std::string& name, int value) {
  WriteString(root, subkey, name, std::to_string(value));
}

void CRegistry::WriteString(int root, const std::string& subkey, const std::string& name,
                            const std::string& text) {
  TryWriteString(root, subkey, name, text);
}

Status CRegistry::TryWriteString(int root, const std::string& subkey, const std::string& name,
                                 const std::string& text) {
  std::string full_key = FullKey(root, subkey);
  if (full_key.empty()) return Status::Error("no such key");
  return SettingsFile::Write(full_key, name, text);
}

std::optional<std::string> CRegistry::QueryString(int root, const std::string& subkey,
                                                  const std::string& name) {
  std::string full_key = FullKey(root, subkey);
  if (full_key.empty()) return std::nullopt;
  Overrides& overrides = TheOverrides();
  {
    std::lock_guard<std::mutex> guard(overrides.mutex);
    if (overrides.any) {
      const std::string key = OverrideKey(full_key, name);
      auto found = overrides.values.find(key);
      if (found != overrides.values.end()) return found->second;
      found = overrides.layer.find(key);
      if (found != overrides.layer.end()) return found->second;
    }
  }
  return SettingsFile::Read(full_key, name, /*create_missing_key=*/!subkey.empty());
}

int CRegistry::ReadInt(int root, const std::string& subkey, const std::string& name, int def) {
  std::optional<std::string> text = QueryString(root, subkey, name);
  return text ? AtoiRule(*text) : def;
}

int CRegistry::ReadInt(int root, const std::string& subkey, const std::string& name) {
  return ReadInt(root, subkey, name, 0);
}

std::string CRegistry::ReadString(int root, const std::string& subkey, const std::string& name,
                                  const std::string& def) {
  std::optional<std::string> text = QueryString(root, subkey, name);
  return text ? *text : def;
}

void CRegistry::WriteInt(const std::string& name, int value) {
  WriteInt(root_, key_path_, name, value);
}

void CRegistry::WriteString(const std::string& name, const std::string& text) {
  WriteString(root_, key_path_, name, text);
}

std::string CRegistry::ReadString(const std::string& name, const std::string& def) {
  return ReadString(root_, key_path_, name, def);
}

int CRegistry::ReadInt(const std::string& name, int def) {
  return ReadInt(root_, key_path_, name, def);
}

void CRegistry::DeleteKey() { TryDeleteKey(); }

Status CRegistry::TryDeleteKey() {
  std::string full_key = FullKey(root_, key_path_);
  // A root itself cannot be deleted.
  if (full_key.empty() || key_path_.empty()) return Status::Error("no such key");
  return SettingsFile::DeleteTree(full_key);
}

void CRegistry::OverrideForThisRun(int root, const std::string& subkey, const std::string& name,
                                   std::optional<std::string> text) {
  std::string full_key = FullKey(root, subkey);
  if (full_key.empty()) return;
  Overrides& overrides = TheOverrides();
  std::lock_guard<std::mutex> guard(overrides.mutex);
  if (text) {
    overrides.values[OverrideKey(full_key, name)] = *text;
  } else {
    overrides.values.erase(OverrideKey(full_key, name));
  }
  overrides.any = !overrides.values.empty() || !overrides.layer.empty();
}

void CRegistry::SetLayer(const std::vector<LayerValue>& values) {
  std::map<std::string, std::string> layer;
  for (const LayerValue& value : values) {
    std::string full_key = FullKey(value.root, value.subkey);
    if (!full_key.empty()) layer[OverrideKey(full_key, value.name)] = value.text;
  }
  Overrides& overrides = TheOverrides();
  std::lock_guard<std::mutex> guard(overrides.mutex);
  overrides.layer = std::move(layer);
  overrides.any = !overrides.values.empty() || !overrides.layer.empty();
}

}  // namespace folios
