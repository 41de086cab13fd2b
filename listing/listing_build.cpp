#include "listing_build.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>

#include "atomic_file.h"
#include "html_listing_writer.h"
#include "ordered_jobs.h"
#include "paths.h"
#include "project_file.h"
#include "setting_names.h"
#include "settings_table.h"
#include "temp_files.h"

namespace folios {

namespace {

// The file a listed path's text is read from.
const std::string& SourceOf(const std::string& path, const ListingBuildOptions& options) {
  auto found = options.read_from.find(path);
  return found == options.read_from.end() ? path : found->second;
}

bool IsPreformatted(const std::string& path) {
  return IsFormattableExtension(Extension(path));
}

// A new empty file in the temporary directory with the source's extension,
// so that the formatter can tell the language. Removed when it goes out of
// scope; path() is empty when it could not be made.
class TemporaryCopy {
 public:
  explicit TemporaryCopy(const std::string& source) {
    const char* dir = getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/folios-listing-XXXXXX";
    std::string suffix = "." + Extension(source);
    pattern += suffix;
    TemporaryFileSignalsHeld held;  // until the new file is registered
    int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd < 0) return;
    ::close(fd);
    path_ = pattern;
    RegisterTemporaryFile(path_);
  }
  ~TemporaryCopy() {
    if (path_.empty()) return;
    ::unlink(path_.c_str());
    ForgetTemporaryFile(path_);
  }
  TemporaryCopy(const TemporaryCopy&) = delete;
  TemporaryCopy& operator=(const TemporaryCopy&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

ListingFormat StoredListingFormat() {
  return Settings().Int(setting_name::kOutputType) == 1 ? ListingFormat::kHtml : ListingFormat::kRtf;
}

ListingFormat ListingFormatForOutput(const std::string& output_path) {
  const std::string ext = Extension(output_path);
  if (ext == "html" || ext == "htm") return ListingFormat::kHtml;
  if (ext == "rtf") return ListingFormat::kRtf;
  return StoredListingFormat();
}

const char* ListingFormatExtension(ListingFormat format) {
  return format == ListingFormat::kHtml ? ".html" : ".rtf";
}

ListingBuildResult RunListingBuildToStream(const std::vector<std::string>& paths,
                                           std::FILE* out, const ListingBuildOptions& options) {
  ListingBuildResult result;
  try {
    const bool preformat = options.preformat && Settings().Int(setting_name::kUseAdvancedOptions) != 0;
    std::unique_ptr<CListingWriter> writer;
    if (options.format == ListingFormat::kHtml) {
      writer = std::make_unique<CHtmlListingWriter>(out, paths, options.progress, options.warnings);
    } else {
      writer = std::make_unique<CListingWriter>(out, options.progress, options.warnings);
    }
    const int total = static_cast<int>(paths.size());

    // The files to pre-format, formatted ahead of the writer (which lists in
    // order) when more than one job is asked for. The formatter only reads
    // a source and writes a temporary copy, so the source is never written,
    // whatever happens. `copies` outlives the pool, which stops its threads
    // first; the copies go with it.
    std::vector<size_t> rows;
    for (size_t i = 0; preformat && i < paths.size(); ++i) {
      if (IsPreformatted(paths[i])) rows.push_back(i);
    }
    struct Copy {
      std::unique_ptr<TemporaryCopy> file;
      bool formatted = false;
      std::string why;
    };
    std::vector<Copy> copies(rows.size());
    const int jobs = options.preformat_jobs <= 0 ? DefaultJobCount() : options.preformat_jobs;
    // Each copy waiting to be listed holds a temporary file.
    const int threads = std::min(jobs, kMaxJobs / 2);
    OrderedJobs pool(rows.size(), threads, static_cast<size_t>(threads), [&](size_t k) {
      Copy& copy = copies[k];
      const std::string& path = paths[rows[k]];
      try {
        copy.file = std::make_unique<TemporaryCopy>(path);
        copy.formatted =
            !copy.file->path().empty() && options.preformat(SourceOf(path, options), copy.file->path(), &copy.why);
      } catch (const std::exception&) {
        copy.formatted = false;  // listed as it is; nothing may leave a thread
      }
    });

    size_t next_copy = 0;
    for (int i = 0; i < total; ++i) {
      const std::string& path = paths[static_cast<size_t>(i)];
      std::string listed = SourceOf(path, options);
      Copy* copy = nullptr;
      if (next_copy < rows.size() && rows[next_copy] == static_cast<size_t>(i)) {
        pool.Take(next_copy);
        copy = &copies[next_copy++];
        if (copy->formatted) {
          listed = copy->file->path();
        } else if (!copy->why.empty()) {
          result.listed_unformatted.push_back({path, copy->why});
        }
      }
      ++result.files_listed;
      bool cancelled = writer->AppendSource(path, listed, i + 1, total);
      if (copy) copy->file.reset();
      if (cancelled) {
        result.cancelled = true;
        break;
      }
    }
    // Even a build of no files gives a complete document.
    writer->EndDocument();
    result.failed_files = writer->failures();
    result.files_read = writer->files_read();
    // A file that could not be read is reported once, not again for the
    // pre-format step that could not read it either.
    std::erase_if(result.listed_unformatted, [&](const ListingFileFailure& unformatted) {
      return std::any_of(result.failed_files.begin(), result.failed_files.end(),
                         [&](const ListingFileFailure& failed) { return failed.path == unformatted.path; });
    });
    result.output = writer->Flush();
  } catch (const std::bad_alloc&) {
    result.output = Status::Error(ErrnoMessage(ENOMEM));
  }
  return result;
}

ListingBuildResult RunListingBuild(const std::vector<std::string>& paths,
                                   const std::string& output_path,
                                   const ListingBuildOptions& options) {
  // The one place where the document is opened.
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
  if (options.abandon && options.abandon()) {
    file.Discard();
    result.abandoned = true;
  } else if (result.output.ok() && result.files_listed > 0 && result.files_read == 0 && !result.cancelled) {
    // A document of nothing but "cannot be read" lines would take the place
    // of a good one.
    file.Discard();
    result.output = Status::Error("none of the files could be read; the old document was left as it was");
  } else if (result.output.ok()) {
    result.output = file.Commit();
  } else {
    file.Discard();
  }
  return result;
}

}  // namespace folios
