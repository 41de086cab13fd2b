#include "gather_inputs.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <numeric>

#include "paths.h"
#include "progress.h"
#include "project_file.h"

namespace folios {

bool GatherProblem::failure() const {
  switch (kind) {
    case GatherProblemKind::kSubfolderSkipped:
    case GatherProblemKind::kLinkSkipped:
    case GatherProblemKind::kAmbiguousName:
      return false;
    default:
      return true;
  }
}

bool GatherResult::failed() const {
  return std::any_of(problems.begin(), problems.end(),
                     [](const GatherProblem& p) { return p.failure(); });
}

size_t GatherResult::added_total() const {
  return std::accumulate(added.begin(), added.end(), size_t{0});
}

namespace {

bool IsProject(const std::string& extension) { return extension == "dsp" || extension == "vbp"; }

void SearchDirectory(const GatherRequest& request, size_t input, const std::string& path,
                     GatherPlan* plan) {
  const std::string& given = request.paths[input];
  auto problem = [&](GatherProblemKind kind, const std::string& where, std::string reason) {
    plan->problems.push_back({kind, where, std::move(reason), input});
  };
  if (!request.types.any()) {
    problem(GatherProblemKind::kNoTypesChosen, given, "You must select at least one filetype!");
    return;
  }
  SearchResult result;
  Status status = FindSourceFiles(path, request.types, request.subfolders, &result);
  if (!status.ok()) {
    problem(GatherProblemKind::kFolderUnlistable, given, status.message());
    return;
  }
  for (const std::string& dir : result.unreadable) {
    problem(GatherProblemKind::kSubfolderSkipped, dir, "cannot be read; skipped");
  }
  for (const std::string& link : result.skipped_links) {
    problem(GatherProblemKind::kLinkSkipped, link,
            "a symbolic link to a directory; skipped (name it to search it)");
  }
  if (result.files.empty()) {
    problem(GatherProblemKind::kNothingFound, given, "No files where found in the directory!");
    return;
  }
  if (request.order == FoundFileOrder::kByTypeThenName) {
    // The file list shows the last group first.
    std::stable_sort(result.files.begin(), result.files.end(),
                     [](const std::string& a, const std::string& b) {
                       int ga = GroupOfExtension(Extension(a));
                       int gb = GroupOfExtension(Extension(b));
                       if (ga != gb) return ga > gb;
                       return a < b;
                     });
  }
  for (const std::string& file : result.files) plan->entries.push_back({file, file, input});
}

}  // namespace

GatherPlan PlanGathering(const GatherRequest& request) {
  GatherPlan plan;
  plan.input_count = request.paths.size();
  for (size_t input = 0; input < request.paths.size(); ++input) {
    const std::string& given = request.paths[input];
    const std::string path = AbsolutePath(given);
    struct stat st;
    const bool exists = stat(path.c_str(), &st) == 0;
    const int error = errno;
    if (exists && S_ISDIR(st.st_mode)) {
      SearchDirectory(request, input, path, &plan);
      continue;
    }
    if (request.directories_only) {
      plan.problems.push_back({GatherProblemKind::kFolderUnlistable, given,
                               ErrnoMessage(exists ? ENOTDIR : error), input});
      continue;
    }
    const std::string extension = Extension(path);
    if (!exists) {
      plan.problems.push_back(
          {GatherProblemKind::kCannotAccess, given, ErrnoMessage(error), input});
      // A missing project names nothing; a missing source file is listed.
      if (IsProject(extension)) continue;
    }
    if (!IsProject(extension) && GroupOfExtension(extension) < 0) {
      plan.problems.push_back({GatherProblemKind::kNotSourceType, given,
                               "not a C, C++, Java or Visual Basic source file or project", input});
      continue;
    }
    plan.entries.push_back({path, given, input});
  }
  return plan;
}

GatherResult AddPlannedFiles(const GatherPlan& plan, CProjectFile* files, Progress* progress) {
  GatherResult result;
  result.added.assign(plan.input_count, 0);
  // Problems met reading a project go after those of its own path found
  // while planning, and before those of the paths after it.
  std::vector<GatherProblem> read_problems;
  if (progress) {
    progress->SetCaption("Add files to main area");
    progress->SetRange(0, static_cast<int>(plan.entries.size()) - 1);
    progress->SetStep(1);
  }
  for (const GatherPlan::Entry& entry : plan.entries) {
    const size_t before = files->FileCount();
    Status status = files->Open(entry.path, false);
    if (!status.ok()) {
      read_problems.push_back(
          {GatherProblemKind::kProjectUnopenable, entry.named, status.message(), entry.input});
    } else {
      status = files->Process();
      if (!status.ok()) {
        read_problems.push_back(
            {GatherProblemKind::kProjectUnreadable, entry.named, status.message(), entry.input});
      } else if (files->FileCount() == before && IsProject(Extension(entry.path))) {
        read_problems.push_back(
            {GatherProblemKind::kProjectEmpty, entry.named, "no source files", entry.input});
      }
      for (const std::string& note : files->notes()) {
        read_problems.push_back(
            {GatherProblemKind::kAmbiguousName, entry.named, note, entry.input});
      }
    }
    if (entry.input < result.added.size()) result.added[entry.input] += files->FileCount() - before;
    if (progress) {
      progress->StepIt();
      progress->SetStatus(entry.path);
    }
  }
  result.problems = plan.problems;
  result.problems.insert(result.problems.end(), read_problems.begin(), read_problems.end());
  std::stable_sort(
      result.problems.begin(), result.problems.end(),
      [](const GatherProblem& a, const GatherProblem& b) { return a.input < b.input; });
  return result;
}

GatherResult GatherInputs(const GatherRequest& request, CProjectFile* files, Progress* progress) {
  files->Open("", true);
  return AddPlannedFiles(PlanGathering(request), files, progress);
}

}  // namespace folios
