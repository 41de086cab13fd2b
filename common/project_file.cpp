#include "project_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "paths.h"
#include "progress.h"

namespace folios {

int GroupOfExtension(std::string_view extension) {
  if (extension == "cpp" || extension == "c") return kCppSources;
  if (extension == "hpp" || extension == "h") return kCppHeaders;
  if (extension == "cls") return kVbClasses;
  if (extension == "bas") return kVbModules;
  if (extension == "frm") return kVbForms;
  if (extension == "java") return kJavaFiles;
  return -1;
}

size_t CProjectFile::FileCount() const {
  size_t count = 0;
  for (const auto& group : groups_) count += group.size();
  return count;
}

Status CProjectFile::Open(const std::string& path, bool clear_first) {
  if (clear_first) {
    for (auto& group : groups_) group.clear();
  }
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
  if (group >= 0) groups_[group].push_back(path);
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

Status CProjectFile::ReadDsp() {
  std::vector<std::string> lines;
  Status status = ReadLines(&lines);
  for (const std::string& line : lines) {
    if (line.compare(0, 7, "SOURCE=") != 0) continue;
    std::string_view named(line);
    named.remove_prefix(7);
    if (!named.empty() && named.front() == '"') named.remove_prefix(1);
    if (!named.empty() && named.back() == '"') named.remove_suffix(1);
    if (named.empty()) continue;
    AddFile(ResolveProjectPath(path_, named));
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
    AddFile(ResolveProjectPath(path_, named));
  }
  return status;
}

void AppendFoundFiles(CProjectFile& files, const std::vector<std::string>& found,
                      Progress* progress) {
  if (progress) {
    progress->SetCaption("Add files to main area");
    progress->SetRange(0, static_cast<int>(found.size()) - 1);
    progress->SetStep(1);
  }
  for (const std::string& path : found) {
    files.Open(path, false);
    files.Process();
    if (progress) {
      progress->StepIt();
      progress->SetStatus(path);
    }
  }
}

void AddFoundFiles(CProjectFile& files, const std::vector<std::string>& found, Progress* progress) {
  files.Open("", true);
  AppendFoundFiles(files, found, progress);
}

}  // namespace folios
