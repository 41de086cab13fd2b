#include "project_settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "paths.h"
#include "settings_file.h"
#include "settings_table.h"

namespace folios {

namespace {

std::string Trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return std::string();
  size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(begin, end - begin + 1));
}

// The key a section header names, matched as the store matches keys.
std::optional<SettingKey> SectionKey(const std::string& section) {
  const std::string root = std::string("HKEY_LOCAL_MACHINE\\");
  for (SettingKey key : {SettingKey::kMain, SettingKey::kDoc, SettingKey::kTemplateKw}) {
    if (ToLowerAscii(section) == ToLowerAscii(root + SettingKeyPath(key))) return key;
  }
  return std::nullopt;
}

std::string ParentDirectory(const std::string& directory) {
  if (directory == "/") return std::string();
  size_t slash = directory.rfind('/');
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? "/" : directory.substr(0, slash);
}

}  // namespace

std::optional<std::string> FindProjectSettings(const std::string& directory) {
  std::string dir = AbsolutePath(directory.empty() ? "." : directory);
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  for (; !dir.empty(); dir = ParentDirectory(dir)) {
    std::string candidate = (dir == "/" ? dir : dir + "/") + kProjectSettingsName;
    struct stat st {};
    // A name that exists but cannot be read still applies: reading it fails
    // with its reason rather than letting a file higher up apply silently.
    if (::stat(candidate.c_str(), &st) == 0 || errno == EACCES) return candidate;
  }
  return std::nullopt;
}

Status LoadProjectSettings(const std::string& path, ProjectSettings* settings) {
  settings->path = path;
  settings->values.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Status::Error(ErrnoMessage(errno));
  if (S_ISDIR(st.st_mode)) return Status::Error(ErrnoMessage(EISDIR));
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::Error(ErrnoMessage(errno ? errno : EACCES));
  std::ostringstream whole;
  whole << in.rdbuf();
  if (in.bad()) return Status::Error(ErrnoMessage(EIO));
  const std::string text = whole.str();
  if (text.find('\0') != std::string::npos) return Status::Error("not a text file (it holds NUL bytes)");

  SettingKey key = SettingKey::kMain;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string at = "line " + std::to_string(number) + ": ";
    std::string trimmed = Trimmed(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
    if (trimmed[0] == '[') {
      if (trimmed.back() != ']') return Status::Error(at + "a section header must end with ']'");
      std::optional<SettingKey> named = SectionKey(trimmed.substr(1, trimmed.size() - 2));
      if (!named) return Status::Error(at + "unknown section " + trimmed);
      key = *named;
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) return Status::Error(at + "expected NAME=VALUE, got '" + trimmed + "'");
    std::string name = UnescapeSettingsText(Trimmed(std::string_view(line).substr(0, eq)));
    const SettingInfo* info = FindSetting(key, name);
    if (!info) return Status::Error(at + "unknown setting '" + name + "'");
    std::string use, message;
    if (CheckSettingValue(*info, UnescapeSettingsText(Trimmed(std::string_view(line).substr(eq + 1))), &use,
                          &message) ==
        ValueCheck::kRefused) {
      return Status::Error(at + message);
    }
    settings->values.push_back({kLocalMachine, SettingKeyPath(key), info->name, use});
  }
  return Status::OK();
}

ProjectSettingsFinder::ProjectSettingsFinder(Mode mode, std::string explicit_path)
    : mode_(mode), explicit_path_(std::move(explicit_path)) {}

Status ProjectSettingsFinder::Load(const std::string& path, std::shared_ptr<const ProjectSettings>* settings) {
  last_path_ = path;
  auto cached = loaded_.find(path);
  if (cached != loaded_.end()) {
    *settings = cached->second;
    return Status::OK();
  }
  auto loaded = std::make_shared<ProjectSettings>();
  Status status = LoadProjectSettings(path, loaded.get());
  if (!status.ok()) return status;
  loaded_[path] = loaded;
  *settings = loaded;
  return Status::OK();
}

Status ProjectSettingsFinder::ForDirectory(const std::string& directory,
                                           std::shared_ptr<const ProjectSettings>* settings) {
  settings->reset();
  switch (mode_) {
    case Mode::kNone:
      return Status::OK();
    case Mode::kExplicit:
      return Load(explicit_path_, settings);
    case Mode::kSearch:
      break;
  }
  auto found = found_.find(directory);
  if (found == found_.end()) found = found_.emplace(directory, FindProjectSettings(directory)).first;
  if (!found->second) return Status::OK();
  return Load(*found->second, settings);
}

Status ProjectSettingsFinder::For(const std::string& file, std::shared_ptr<const ProjectSettings>* settings) {
  std::string absolute = AbsolutePath(file);
  size_t slash = absolute.rfind('/');
  return ForDirectory(slash == 0 ? "/" : absolute.substr(0, slash), settings);
}

ScopedProjectLayer::ScopedProjectLayer(const ProjectSettings* settings) {
  CRegistry::SetLayer(settings ? settings->values : std::vector<CRegistry::LayerValue>());
}

ScopedProjectLayer::~ScopedProjectLayer() { CRegistry::SetLayer({}); }

}  // namespace folios
