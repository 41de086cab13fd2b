#include "listing_build.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "atomic_file.h"
#include "paths.h"
#include "settings_table.h"

namespace folios {

namespace {

bool IsPreformatted(const std::string& path) {
  std::string ext = Extension(path);
  return ext == "cpp" || ext == "h" || ext == "c" || ext == "java";
}

// A new empty file in the temporary directory with the source's extension,
// so that the formatter can tell the language; empty on failure.
std::string MakeTemporaryCopyName(const std::string& path) {
  const char* dir = getenv("TMPDIR");
  std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/folios-listing-XXXXXX";
  std::string suffix = "." + Extension(path);
  pattern += suffix;
  int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
  if (fd < 0) return std::string();
  ::close(fd);
  return pattern;
}

}  // namespace

ListingBuildResult RunListingBuildToStream(const std::vector<std::string>& paths,
                                           std::FILE* out, const ListingBuildOptions& options) {
  ListingBuildResult result;
  const bool preformat = options.preformat && Settings().Int("m_use_advanced_options") != 0;
  CListingWriter writer(out, options.progress, options.warnings);
  const int total = static_cast<int>(paths.size());
  for (int i = 0; i < total; ++i) {
    const std::string& path = paths[static_cast<size_t>(i)];
    std::string listed = path;
    std::string temporary;
    if (preformat && IsPreformatted(path)) {
      // The backup stays beside the source, as users of the desktop program
      // expect. The formatter only reads the source and writes a temporary
      // copy, so the source is never written, whatever happens.
      CopyFileAtomically(path, path + ".orig");
      temporary = MakeTemporaryCopyName(path);
      if (!temporary.empty() && options.preformat(path, temporary)) listed = temporary;
    }
    ++result.files_listed;
    bool cancelled = writer.AppendSource(path, listed, i + 1, total);
    if (!temporary.empty()) std::remove(temporary.c_str());
    if (cancelled) {
      result.cancelled = true;
      break;
    }
  }
  // Even a build of no files gives a complete document.
  writer.EndDocument();
  result.failed_files = writer.failures();
  result.output = writer.Flush();
  return result;
}

ListingBuildResult RunListingBuild(const std::vector<std::string>& paths,
                                   const std::string& output_path,
                                   const ListingBuildOptions& options) {
  AtomicFile file;
  OutputOptions policy;
  policy.inputs = paths;
  Status opened = file.Open(output_path, policy);
  if (!opened.ok()) {
    ListingBuildResult result;
    result.output = opened;
    return result;
  }
  ListingBuildResult result = RunListingBuildToStream(paths, file.file(), options);
  if (result.output.ok()) {
    result.output = file.Commit();
  } else {
    file.Discard();
  }
  return result;
}

}  // namespace folios
