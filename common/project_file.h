// CProjectFile: the collection of files the user has gathered.
//
// Paths are kept in six groups by their extension; a project file (.dsp or
// .vbp) contributes the files it names. The file list and every build take
// their files from here.
#pragma once

#include <array>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "status.h"

namespace folios {

// Groups by extension (compared in lower case).
enum FileGroup {
  kCppSources = 0,  // cpp, c, cc, cxx, c++, cp
  kCppHeaders = 1,  // hpp, h, hh, hxx, h++, inl, ipp, tcc
  kVbClasses = 2,   // cls
  kVbModules = 3,   // bas
  kVbForms = 4,     // frm
  kJavaFiles = 5,   // java
};
inline constexpr int kFileGroupCount = 6;

// The group of a lower-case extension, or -1 when it is none of the six.
int GroupOfExtension(std::string_view extension);

// The lower-case extensions of C++ sources and of C++ headers, each list
// with the two first that directory searches have always taken first.
const std::vector<std::string>& CppSourceExtensions();
const std::vector<std::string>& CppHeaderExtensions();

// True for a lower-case extension of a C, C++ or Java source: the files the
// formatter takes.
bool IsFormattableExtension(std::string_view extension);

// Finds the existing path that a path names when upper and lower case are
// taken as the same. Each directory is listed at most once per object, so
// looking up every file of a project costs time linear in the project and
// its directories.
class CaseInsensitiveLookup {
 public:
  // Returns `path` itself when it exists or nothing matches; otherwise each
  // component that does not exist as written is matched against the entries
  // of its directory ignoring ASCII case. When a component matches several
  // entries, returns `path` and says why in `*ambiguity` (else cleared).
  std::string Find(const std::string& path, std::string* ambiguity);

 private:
  // Directory -> its entries by lower-case name.
  std::unordered_map<std::string, std::unordered_multimap<std::string, std::string>> listed_;
};

// Kinds of an opened file.
enum ProjectKind { kVbProject = 0, kDspProject = 1, kSingleFile = 2 };

class CProjectFile {
 public:
  CProjectFile() = default;
  CProjectFile(const CProjectFile&) = delete;
  CProjectFile& operator=(const CProjectFile&) = delete;

  // Empties all groups when `clear_first`; remembers `path` and its kind
  // (by extension: dsp, vbp, anything else) and opens a project for reading.
  // An empty path only empties the groups. Fails (adding nothing later) when
  // a project cannot be opened; a single source file is never opened here.
  Status Open(const std::string& path, bool clear_first);

  // Reads the opened project, or adds the single file, then closes the file.
  // Fails when a project holds binary data or cannot be read. A path named
  // by a project that does not exist as written is looked up without regard
  // to case, one component at a time (projects written on systems whose
  // file names ignore case name files in any case); a unique match is
  // taken, several matches are noted in notes() and the path is kept as
  // written.
  Status Process();

  // Appends `path` to the group of its extension; other paths are dropped.
  // Duplicates are kept.
  void AddFile(const std::string& path);

  const std::vector<std::string>& group(int index) const { return groups_[index]; }
  // Every path of the groups, in the order they were added.
  const std::vector<std::string>& files_in_order() const { return in_order_; }
  // What the last Process found worth telling (ambiguous names); cleared by Open.
  const std::vector<std::string>& notes() const { return notes_; }
  size_t FileCount() const;
  const std::string& path() const { return path_; }
  int kind() const { return kind_; }

  // How a path named by a project is made a full path: relative paths are
  // resolved against the project file's own directory, with "." and ".."
  // normalised; backslashes are separators; a path with a drive letter is
  // kept (with "/" separators) and will simply be missing here.
  static std::string ResolveProjectPath(const std::string& project_path, std::string_view named);

 private:
  Status ReadDsp();
  Status ReadVbp();
  Status ReadLines(std::vector<std::string>* lines);
  // Adds a path a project names, in the case it has on disk.
  void AddNamedFile(const std::string& path, CaseInsensitiveLookup* lookup);

  std::string path_;
  int kind_ = kSingleFile;
  std::ifstream file_;
  bool file_open_failed_ = false;
  std::array<std::vector<std::string>, kFileGroupCount> groups_;
  std::vector<std::string> in_order_;
  std::vector<std::string> notes_;
};

}  // namespace folios
