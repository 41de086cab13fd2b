#include "project_file.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "paths.h"

namespace folios {

const std::vector<std::string>& CppSourceExtensions() {
  static const std::vector<std::string> kList = {"cpp", "c", "cc", "cxx", "c++", "cp"};
  return kList;
}

const std::vector<std::string>& CppHeaderExtensions() {
  static const std::vector<std::string> kList = {"hpp", "h", "hh", "hxx", "h++", "inl", "ipp", "tcc"};
  return kList;
}

int GroupOfExtension(std::string_view extension) {
  for (const std::string& ext : CppSourceExtensions()) {
    if (extension == ext) return kCppSources;
  }
  for (const std::string& ext : CppHeaderExtensions()) {
    if (extension == ext) return kCppHeaders;
  }
  if (extension == "cls") return kVbClasses;
  if (extension == "bas") return kVbModules;
  if (extension == "frm") return kVbForms;
  if (extension == "java") return kJavaFiles;
  return -1;
}

bool IsFormattableExtension(std::string_view extension) {
  int group = GroupOfExtension(extension);
  return group == kCppSources || group == kCppHeaders || group == kJavaFiles;
}

size_t CProjectFile::FileCount() const {
  size_t count = 0;
  for (const auto& group : groups_) count += group.size();
  return count;
}

Status CProjectFile::Open(const std::string& path, bool clear_first) {
  if (clear_first) {
    for (auto& group : groups_) group.clear();
    in_order_.clear();
  }
  notes_.clear();
  if (file_.is_open()) file_.close();
  file_.clear();
  file_open_failed_ = false;
  path_ = path;
  std::string extension = Extension(path);
  kind_ = extension == "dsp" ? kDspProject : extension == "vbp" ? kVbProject : kSingleFile;
  if (path.empty() || kind_ == kSingleFile) return Status::OK();
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    file_open_failed_ = true;
    return Status::Error("Is a directory");
  }
  file_.open(path, std::ios::binary);
  if (!file_.is_open()) {
    file_open_failed_ = true;
    return Status::Error(ErrnoMessage(errno != 0 ? errno : ENOENT));
  }
  return Status::OK();
}

Status CProjectFile::Process() {
  Status status;
  if (path_.empty()) return status;
  if (kind_ == kDspProject) {
    status = ReadDsp();
  } else if (kind_ == kVbProject) {
    status = ReadVbp();
  } else {
    AddFile(path_);
  }
  if (file_.is_open()) file_.close();
  return status;
}

void CProjectFile::AddFile(const std::string& path) {
  int group = GroupOfExtension(Extension(path));
  if (group < 0) return;
  groups_[group].push_back(path);
  in_order_.push_back(path);
}

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string CaseInsensitiveLookup::Find(const std::string& path, std::string* ambiguity) {
  ambiguity->clear();
  if (path.empty() || Exists(path)) return path;
  const bool absolute = path[0] == '/';
  // The existing prefix found so far, written as `path` is (with or without
  // its leading slash); empty at the start.
  std::string found;
  auto join = [&](const std::string& name) {
    if (found.empty()) return absolute ? "/" + name : name;
    return found + "/" + name;
  };
  for (size_t start = absolute ? 1 : 0; start < path.size();) {
    size_t slash = std::min(path.find('/', start), path.size());
    std::string name = path.substr(start, slash - start);
    start = slash + 1;
    if (name.empty()) continue;
    std::string next = join(name);
    if (name == "." || name == ".." || Exists(next)) {
      found = std::move(next);
      continue;
    }
    std::string dir = found.empty() ? (absolute ? "/" : ".") : found;
    auto [listed, fresh] = listed_.try_emplace(dir);
    if (fresh) {
      if (DIR* handle = opendir(dir.c_str())) {
        while (dirent* entry = readdir(handle)) {
          listed->second.emplace(ToLowerAscii(entry->d_name), entry->d_name);
        }
        closedir(handle);
      }
    }
    auto [first, last] = listed->second.equal_range(ToLowerAscii(name));
    std::vector<std::string> matches;
    for (auto it = first; it != last; ++it) matches.push_back(it->second);
    if (matches.size() != 1) {
      if (!matches.empty()) {
        std::sort(matches.begin(), matches.end());
        *ambiguity = "'" + path + "' does not exist, and " + std::to_string(matches.size()) +
                     " names in '" + dir + "' differ from '" + name + "' only in case (";
        for (size_t i = 0; i < matches.size(); ++i) *ambiguity += (i ? ", " : "") + matches[i];
        *ambiguity += "): none was taken";
      }
      return path;
    }
    found = join(matches[0]);
  }
  return found.empty() ? path : found;
}

Status CProjectFile::ReadLines(std::vector<std::string>* lines) {
  if (file_open_failed_ || !file_.is_open()) return Status::Error("cannot be opened");
  std::string line;
  while (std::getline(file_, line)) {
    if (line.find('\0') != std::string::npos) {
      lines->clear();
      return Status::Error("not a project file (it holds binary data)");
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(std::move(line));
    line = std::string();
  }
  if (file_.bad()) return Status::Error(ErrnoMessage(EIO));
  return Status::OK();
}

std::string CProjectFile::ResolveProjectPath(const std::string& project_path,
                                             std::string_view named) {
  std::string text(named);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  bool drive_letter = text.size() >= 2 && text[1] == ':' &&
                      ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
  if (drive_letter) return text;
  std::filesystem::path resolved(text);
  if (!resolved.is_absolute()) {
    std::string dir = Directory(project_path);
    if (project_path.find('/') == std::string::npos) dir = ".";
    if (dir.empty()) dir = "/";
    resolved = std::filesystem::path(dir) / resolved;
  }
  std::string normal = resolved.lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

void CProjectFile::AddNamedFile(const std::string& path, CaseInsensitiveLookup* lookup) {
  std::string ambiguity;
  std::string found = lookup->Find(path, &ambiguity);
  if (!ambiguity.empty()) notes_.push_back(ambiguity);
  AddFile(found);
}

Status CProjectFile::ReadDsp() {
  CaseInsensitiveLookup lookup;
  std::vector<std::string> lines;
  Status status = ReadLines(&lines);
  for (const std::string& line : lines) {
    if (line.compare(0, 7, "SOURCE=") != 0) continue;
    std::string_view named(line);
    named.remove_prefix(7);
    if (!named.empty() && named.front() == '"') named.remove_prefix(1);
    if (!named.empty() && named.back() == '"') named.remove_suffix(1);
    if (named.empty()) continue;
    AddNamedFile(ResolveProjectPath(path_, named), &lookup);
  }
  return status;
}

namespace {

// The file named after "; " in "Module=Name; File.bas" and "Class=Name; File.cls".
std::string_view AfterSemicolon(std::string_view line) {
  size_t semicolon = line.find(';', 1);
  if (semicolon == std::string_view::npos) return std::string_view();
  std::string_view rest = line.substr(semicolon + 1);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  return rest;
}

}  // namespace

Status CProjectFile::ReadVbp() {
  CaseInsensitiveLookup lookup;
  std::vector<std::string> lines;
  Status status = ReadLines(&lines);
  for (const std::string& line : lines) {
    std::string_view named;
    if (line.compare(0, 6, "Module") == 0 || line.compare(0, 5, "Class") == 0) {
      named = AfterSemicolon(line);
    } else if (line.compare(0, 4, "Form") == 0) {
      size_t eq = line.find('=', 1);
      if (eq == std::string::npos) continue;
      named = std::string_view(line).substr(eq + 1);
    } else {
      continue;
    }
    while (!named.empty() && (named.back() == ' ' || named.back() == '\t')) named.remove_suffix(1);
    if (named.empty()) continue;
    AddNamedFile(ResolveProjectPath(path_, named), &lookup);
  }
  return status;
}

}  // namespace folios
