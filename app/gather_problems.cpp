#include "gather_problems.h"

#include <QCoreApplication>

#include "message_box.h"

namespace folios::gui {

namespace {

QString Text(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The translation context of these texts.
struct GatherProblems {
  Q_DECLARE_TR_FUNCTIONS(GatherProblems)
};

}  // namespace

QString GatherProblemLine(const GatherProblem& problem) {
  QString path = Text(problem.path);
  const QString reason = Text(problem.reason);
  switch (problem.kind) {
    case GatherProblemKind::kNoTypesChosen:
      return GatherProblems::tr("%1: no file type is chosen for the search").arg(path);
    case GatherProblemKind::kFolderUnlistable:
      return GatherProblems::tr("%1: the folder cannot be read (%2)").arg(path, reason);
    case GatherProblemKind::kSubfolderSkipped:
      return GatherProblems::tr("%1: the folder cannot be read; skipped").arg(path);
    case GatherProblemKind::kLinkSkipped:
      return GatherProblems::tr(
                 "%1: a link to a folder; skipped (open the link itself to "
                 "search it)")
          .arg(path);
    case GatherProblemKind::kNothingFound:
      return GatherProblems::tr("%1: no files of the chosen types were found").arg(path);
    case GatherProblemKind::kCannotAccess:
      return GatherProblems::tr("%1: cannot be reached (%2)").arg(path, reason);
    case GatherProblemKind::kNotSourceType:
      return GatherProblems::tr(
                 "%1: not a C, C++, Java or Visual Basic source file or "
                 "project")
          .arg(path);
    case GatherProblemKind::kProjectUnopenable:
      return GatherProblems::tr("%1: the project cannot be opened (%2)").arg(path, reason);
    case GatherProblemKind::kProjectUnreadable:
      return GatherProblems::tr("%1: the project cannot be read (%2)").arg(path, reason);
    case GatherProblemKind::kProjectEmpty:
      return GatherProblems::tr("%1: the project names no source files").arg(path);
    case GatherProblemKind::kAmbiguousName:
      // The reason names the project's file and the names it could be.
      return GatherProblems::tr("%1: %2").arg(path, reason);
  }
  return path;
}

void ShowGatherProblems(QWidget* parent, const std::vector<GatherProblem>& problems) {
  if (problems.empty()) return;
  QStringList lines;
  for (const GatherProblem& problem : problems) lines << GatherProblemLine(problem);
  MessageBox::warning(parent, GatherProblems::tr("Problems met while adding files:") +
                                  QLatin1Char('\n') + CutShort(lines));
}

}  // namespace folios::gui
