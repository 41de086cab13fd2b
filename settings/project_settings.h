// Settings a project keeps beside its sources: a file named ".folios.ini",
// in the store's own format, that the command line layers over the user's
// store (and under --set) for the files below its directory.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "registry.h"
#include "status.h"

namespace folios {

inline constexpr char kProjectSettingsName[] = ".folios.ini";

// The project settings file that applies to files in `directory`: the first
// ".folios.ini" met walking up from it to the root, or nullopt.
std::optional<std::string> FindProjectSettings(const std::string& directory);

struct ProjectSettings {
  std::string path;
  std::vector<CRegistry::LayerValue> values;
};

// Reads a project settings file. Sections name the product key or its
// "\doc" or "\template_kw" subkeys; values before any section belong to the
// product key. Blank lines and lines beginning with ';' or '#' are comments;
// blanks around names and values are ignored ("\x20" keeps one). Any other
// line, a name the settings table does not know and a value the
// setting does not allow are errors naming the line; so is a file that
// cannot be read.
Status LoadProjectSettings(const std::string& path, ProjectSettings* settings);

// Which project file applies to each file, each read once.
class ProjectSettingsFinder {
 public:
  enum class Mode {
    kSearch,    // walk up from each file's directory
    kExplicit,  // one named file for every file
    kNone,      // no project settings
  };
  explicit ProjectSettingsFinder(Mode mode = Mode::kSearch, std::string explicit_path = std::string());

  // The settings for a file at `file` (null when none apply), or an error
  // naming the project file that could not be read.
  Status For(const std::string& file, std::shared_ptr<const ProjectSettings>* settings);
  // The same for files in `directory` (the current directory for standard
  // input).
  Status ForDirectory(const std::string& directory, std::shared_ptr<const ProjectSettings>* settings);
  // The project file For or ForDirectory looked at last (to name in errors).
  const std::string& last_path() const { return last_path_; }

 private:
  Status Load(const std::string& path, std::shared_ptr<const ProjectSettings>* settings);
  Mode mode_;
  std::string explicit_path_;
  std::string last_path_;
  std::map<std::string, std::optional<std::string>> found_;  // directory -> project file
  std::map<std::string, std::shared_ptr<const ProjectSettings>> loaded_;
};

// Puts a project's values under the reads of this process while it lives
// (null: none), and takes them away again.
class ScopedProjectLayer {
 public:
  explicit ScopedProjectLayer(const ProjectSettings* settings);
  ~ScopedProjectLayer();
  ScopedProjectLayer(const ScopedProjectLayer&) = delete;
  ScopedProjectLayer& operator=(const ScopedProjectLayer&) = delete;
};

}  // namespace folios
