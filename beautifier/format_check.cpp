#include "format_check.h"

#include <cerrno>
#include <exception>
#include <memory>
#include <set>
#include <sstream>

#include "atomic_file.h"
#include "line_ends.h"
#include "ordered_jobs.h"
#include "reformat_build.h"
#include "status.h"
#include "token_check.h"

namespace folios {

FormatCheck CheckFormatText(const std::string& name, const std::string& source, const FormatSettings& settings,
                            bool keep_line_ends) {
  FormatCheck check;
  check.path = name;
  std::string formatted, why;
  std::ostringstream messages;  // the engine's, repeated by `why`
  int rc = ReformatText(source, settings, LanguageForPath(name), &formatted, &why, messages);
  if (rc != kReformatOk) {
    check.state = FormatCheck::State::kFailed;
    check.reason = why;
    return check;
  }
  if (keep_line_ends) formatted = WithLineEnds(formatted, MajorityLineEnd(source));
  if (formatted != source) {
    check.state = FormatCheck::State::kWouldChange;
    check.content = source;
    check.formatted = std::move(formatted);
  }
  return check;
}

namespace {

FormatCheck CheckFile(const std::string& path, const FormatSettings& settings, bool keep_line_ends) {
  FormatCheck check;
  check.path = path;
  // Only a regular file is opened: a pipe or device could wait for ever.
  std::string content;
  Status status = ReadRegularFile(path, &content);
  if (!status.ok()) {
    check.state = FormatCheck::State::kFailed;
    check.reason = "cannot read '" + path + "': " + status.message();
    return check;
  }
  return CheckFormatText(path, content, settings, keep_line_ends);
}

}  // namespace

FormatCheckResult RunFormatCheck(const std::vector<std::string>& paths, const FormatCheckOptions& options,
                                 const std::function<void(const FormatCheck&)>& report) {
  FormatCheckResult result;
  const FormatSettings store_settings = LoadFormatSettings();
  struct Job {
    std::string path;
    const FormatSettings* settings;
    FormatCheck check;
  };
  std::vector<Job> jobs;
  std::set<FileId> seen;
  for (const std::string& path : paths) {
    if (!IsReformattable(path)) {
      result.passed_over_paths.push_back(path);
      continue;
    }
    FileId id;
    if (GetFileId(path, &id) && !seen.insert(id).second) continue;
    const FormatSettings* settings = options.settings_for ? options.settings_for(path) : nullptr;
    jobs.push_back({path, settings ? settings : &store_settings, {}});
  }
  const int wanted = options.jobs <= 0 ? DefaultJobCount() : options.jobs;
  const int threads = std::min(static_cast<int>(jobs.size()), std::min(wanted, kMaxJobs));
  OrderedJobs pool(jobs.size(), threads, 4 * static_cast<size_t>(std::max(threads, 1)), [&](size_t i) {
    Job& job = jobs[i];
    try {
      job.check = CheckFile(job.path, *job.settings, options.keep_line_ends);
    } catch (const std::exception&) {
      job.check = FormatCheck();
      job.check.path = job.path;
      job.check.state = FormatCheck::State::kFailed;
      job.check.reason = "memory ran out";
    }
  });
  for (size_t i = 0; i < jobs.size(); ++i) {
    pool.Take(i);
    FormatCheck& check = jobs[i].check;
    if (check.state == FormatCheck::State::kWouldChange) ++result.would_change;
    if (check.state == FormatCheck::State::kFailed) ++result.failed;
    report(check);
    check = FormatCheck();  // what it held is no longer needed
  }
  return result;
}

}  // namespace folios
