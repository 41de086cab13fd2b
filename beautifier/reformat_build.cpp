// The reformat build over a list of files, on one thread or several.
#include "reformat_build.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>

#include "atomic_file.h"
#include "ordered_jobs.h"
#include "paths.h"
#include "project_file.h"
#include "reformat_file.h"

namespace folios {

bool IsReformattable(const std::string& path) {
  // The extension is everything after the last dot of the whole path, so a
  // dotted directory with an extensionless file is passed over.
  size_t dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  return IsFormattableExtension(ToLowerAscii(std::string_view(path).substr(dot + 1)));
}

namespace {

// One file to format, with what it says while it waits for its turn to be
// reported.
struct Task {
  std::string path;
  ReformatFileOptions options;
  std::ostringstream out;  // report text
  std::ostringstream err;  // engine messages
  ReformatFileResult result;
};

// What a row of the list turned out to be.
struct Row {
  enum Kind { kPassedOver, kDuplicate, kFormat } kind = kPassedOver;
  size_t task = 0;  // with kFormat: index into the tasks
};

// Writes what `text` gathered to `to`.
void Pass(const std::ostringstream& text, std::ostream& to) {
  std::string_view view = text.view();
  to.write(view.data(), static_cast<std::streamsize>(view.size()));
}

void Record(const std::string& path, const ReformatFileResult& done, ReformatBuildResult* result) {
  if (done.code != kReformatOk) {
    result->failures.push_back({path, done.reason, done.code});
  } else if (done.unchanged) {
    ++result->unchanged;
  } else {
    ++result->formatted;
  }
}

}  // namespace

ReformatBuildResult RunReformatBuild(const std::vector<std::string>& paths_in_display_order,
                                     Progress* progress, std::ostream& out, std::ostream& err, int jobs) {
  return RunReformatBuild(paths_in_display_order, progress, out, err, jobs, ReformatBuildOptions());
}

ReformatBuildResult RunReformatBuild(const std::vector<std::string>& paths_in_display_order,
                                     Progress* progress, std::ostream& out, std::ostream& err, int jobs,
                                     const ReformatBuildOptions& build_options) {
  ReformatBuildResult result;
  if (progress) {
    progress->SetCaption("Reformat sourcecode files");
    progress->SetRange(0, static_cast<int>(paths_in_display_order.size()));
    progress->SetStep(1);
  }
  const FormatSettings settings = LoadFormatSettings();

  // What each row is, decided in list order. One file named twice (through
  // "./", a link or a second project) is formatted once: a second pass would
  // put the first result in its backup.
  std::vector<Row> rows(paths_in_display_order.size());
  std::vector<std::unique_ptr<Task>> tasks;
  std::set<FileId> seen;
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string& path = paths_in_display_order[i];
    if (!IsReformattable(path)) continue;
    FileId id;
    if (GetFileId(path, &id) && !seen.insert(id).second) {
      rows[i].kind = Row::kDuplicate;
      continue;
    }
    // The backup sits beside the file that changes, which for a symbolic
    // link is the file it leads to.
    std::string target = path;
    FollowLinks(path, &target);
    ReformatChoice choice;
    if (build_options.choose) choice = build_options.choose(path);
    auto task = std::make_unique<Task>();
    task->path = path;
    task->options.settings = choice.settings ? choice.settings : &settings;
    task->options.skip_unchanged = true;
    if (!choice.backup_suffix.empty()) task->options.backup_path = target + choice.backup_suffix;
    task->options.keep_line_ends = build_options.keep_line_ends;
    rows[i] = {Row::kFormat, tasks.size()};
    tasks.push_back(std::move(task));
  }

  // Progress and results follow the list, whatever order the files are done in.
  size_t row = 0;
  auto advance_to = [&](size_t task_index) {
    for (; row < rows.size(); ++row) {
      const std::string& path = paths_in_display_order[row];
      if (progress) {
        progress->StepIt();
        progress->SetStatus(path);
      }
      if (rows[row].kind == Row::kPassedOver) {
        ++result.passed_over;
        result.passed_over_paths.push_back(path);
      } else if (rows[row].kind == Row::kFormat && rows[row].task == task_index) {
        return;
      }
    }
  };

  const int threads = std::min(static_cast<int>(tasks.size()), jobs <= 0 ? DefaultJobCount() : jobs);
  if (threads > 1) {
    // Each file's report waits for the files before it; at most a few files
    // run ahead of the one reported, so little waits. The progress of a row
    // is shown when the build comes to report it.
    OrderedJobs pool(tasks.size(), threads, 4 * static_cast<size_t>(threads), [&](size_t i) {
      Task& task = *tasks[i];
      try {
        task.result = ReformatFileWith(task.path, task.path, task.options, task.out, task.err);
      } catch (const std::exception&) {
        // Nothing may leave a thread; the file stays as it was.
        task.result.code = kReformatNoFileOrMemory;
        task.result.reason = "memory ran out; the file was left as it was";
      }
    });
    for (size_t i = 0; i < tasks.size(); ++i) {
      pool.Take(i);
      Task& task = *tasks[i];
      Pass(task.out, out);
      Pass(task.err, err);
      task.out = std::ostringstream();
      task.err = std::ostringstream();
      advance_to(i);
      Record(task.path, task.result, &result);
      if (build_options.done) build_options.done(task.path, task.result);
      ++row;
    }
  } else {
    for (size_t i = 0; i < tasks.size(); ++i) {
      advance_to(i);
      Task& task = *tasks[i];
      task.result = ReformatFileWith(task.path, task.path, task.options, out, err);
      Record(task.path, task.result, &result);
      if (build_options.done) build_options.done(task.path, task.result);
      ++row;
    }
  }
  advance_to(tasks.size());  // the rows after the last file
  return result;
}

}  // namespace folios
