#include "directory_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <set>
#include <utility>

#include "paths.h"
#include "project_file.h"

namespace folios {

std::vector<std::string> SearchExtensions(const SearchTypes& types) {
  std::vector<std::string> extensions;
  if (types.h) extensions.insert(extensions.end(), CppHeaderExtensions().begin(), CppHeaderExtensions().end());
  if (types.cpp) extensions.insert(extensions.end(), CppSourceExtensions().begin(), CppSourceExtensions().end());
  if (types.cls) extensions.push_back("cls");
  if (types.bas) extensions.push_back("bas");
  if (types.frm) extensions.push_back("frm");
  if (types.java) extensions.push_back("java");
  return extensions;
}

namespace {

struct Listing {
  std::vector<std::string> files;    // names of entries that are not directories
  std::vector<std::string> subdirs;  // names of directories
  std::vector<std::string> links;    // names of symbolic links to directories
};

// Lists one directory; errno is kept when it cannot be opened.
bool ListDirectory(const std::string& dir, Listing* listing, int* error) {
  DIR* handle = opendir(dir.c_str());
  if (!handle) {
    *error = errno;
    return false;
  }
  while (dirent* entry = readdir(handle)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    unsigned char type = entry->d_type;
    struct stat st;
    if (type == DT_UNKNOWN) {
      if (lstat((dir + "/" + name).c_str(), &st) != 0) continue;
      type = S_ISLNK(st.st_mode) ? DT_LNK : S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
    }
    if (type == DT_DIR) {
      listing->subdirs.push_back(std::move(name));
    } else if (type == DT_LNK && stat((dir + "/" + name).c_str(), &st) == 0 &&
               S_ISDIR(st.st_mode)) {
      listing->links.push_back(std::move(name));
    } else {
      listing->files.push_back(std::move(name));
    }
  }
  closedir(handle);
  std::sort(listing->files.begin(), listing->files.end());
  std::sort(listing->subdirs.begin(), listing->subdirs.end());
  std::sort(listing->links.begin(), listing->links.end());
  return true;
}

bool HasExtension(const std::string& name, const std::string& extension) {
  if (name.size() <= extension.size() + 1) return false;
  size_t dot = name.size() - extension.size() - 1;
  return name[dot] == '.' && ToLowerAscii(name.substr(dot + 1)) == extension;
}

}  // namespace

Status FindSourceFiles(const std::string& directory, const SearchTypes& types, bool subfolders,
                       SearchResult* result) {
  result->files.clear();
  result->unreadable.clear();
  result->skipped_links.clear();
  std::string start = directory;
  struct stat st;
  if (stat(start.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) start = Directory(start);
  while (start.size() > 1 && start.back() == '/') start.pop_back();
  if (start.empty()) start = "/";

  std::vector<std::string> extensions = SearchExtensions(types);
  std::set<std::pair<dev_t, ino_t>> visited;
  std::deque<std::string> queue{start};
  bool first = true;
  while (!queue.empty()) {
    std::string dir = std::move(queue.front());
    queue.pop_front();
    // Links are not followed, but a directory mounted twice is searched once.
    if (stat(dir.c_str(), &st) == 0 && !visited.insert({st.st_dev, st.st_ino}).second) continue;
    Listing listing;
    int error = 0;
    if (!ListDirectory(dir, &listing, &error)) {
      if (first) return Status::Error(ErrnoMessage(error));
      result->unreadable.push_back(dir);
      continue;
    }
    first = false;
    std::string prefix = dir == "/" ? dir : dir + "/";
    for (const std::string& extension : extensions) {
      for (const std::string& name : listing.files) {
        if (HasExtension(name, extension)) result->files.push_back(prefix + name);
      }
    }
    if (subfolders) {
      for (const std::string& name : listing.subdirs) queue.push_back(prefix + name);
      for (const std::string& name : listing.links) result->skipped_links.push_back(prefix + name);
    }
  }
  return Status::OK();
}

}  // namespace folios
