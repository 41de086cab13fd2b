#include "build_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <optional>
#include <sstream>

#include "doc_driver.h"
#include "file_dialog.h"
#include "file_filters.h"
#include "listing_build.h"
#include "message_box.h"
#include "preformat_for_listing.h"
#include "progress_dlg.h"
#include "project_settings.h"
#include "reformat_build.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios::gui {

namespace {

QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The project settings (.folios.ini) found from the first file's directory
// upwards, laid over the user's settings while a build runs. One that
// cannot be read is a failure of the build, which then does not run.
class ProjectLayer {
 public:
  ProjectLayer(const std::vector<std::string>& paths, BuildOutcome* outcome) {
    if (paths.empty()) return;
    ProjectSettingsFinder finder;
    Status status = finder.For(paths.front(), &m_settings);
    if (!status.ok()) {
      outcome->failures << Text(finder.last_path()) + QStringLiteral(": ") + Text(status.message());
      m_failed = true;
      return;
    }
    if (m_settings) outcome->project_settings = Text(m_settings->path);
    m_layer.emplace(m_settings.get());
  }
  bool failed() const { return m_failed; }

 private:
  std::shared_ptr<const ProjectSettings> m_settings;
  std::optional<ScopedProjectLayer> m_layer;
  bool m_failed = false;
};

}  // namespace

QString ListingExtension() {
  return QString::fromLatin1(ListingFormatExtension(StoredListingFormat()));
}

QString DocumentationExtension() {
  return Settings(SettingKey::kMain).Int(setting_name::kDoctype) == 2 ? QStringLiteral(".html")
                                                           : QStringLiteral(".rtf");
}

QString AskOutputFile(QWidget* parent, const QString& proposedPath) {
  const bool page = proposedPath.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
                    proposedPath.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
  QString path = FileDialog::getSaveFileName(parent, QObject::tr("Save As"), proposedPath,
                                             page ? HtmlFilter() : RtfFilter());
  if (path.isEmpty()) return QString();
  QFileInfo info(path);
  if (info.exists() || info.isSymLink()) {
    if (info.isDir()) {
      MessageBox::warning(parent, QObject::tr("%1 is a directory.").arg(path),
                          QObject::tr("Save"));
      return QString();
    }
    const QString question =
        path + QObject::tr(" already exists!\nDo you want to replace it?");
    if (MessageBox::question(parent, question, QObject::tr("Save"), QMessageBox::Warning) !=
        QMessageBox::Yes) {
      return QString();
    }
    // The old document is not deleted here: the builds replace it only once
    // the new one is complete, so a build that fails leaves it intact.
  }
  return path;
}

void ReportFailures(QWidget* parent, const QString& title, const QString& intro,
                    const BuildOutcome& outcome) {
  if (outcome.failures.isEmpty()) return;
  MessageBox::warning(parent, intro + QLatin1Char('\n') + CutShort(outcome.failures), title);
}

namespace {

// A keyword file with a wrong header is reported as soon as it is met.
class MessageBoxWarnings : public KeywordWarningSink {
 public:
  explicit MessageBoxWarnings(QWidget* parent) : m_parent(parent) {}
  void Warn(const std::string& message) override {
    MessageBox::warning(m_parent, Text(message));
  }

 private:
  QWidget* m_parent;
};

}  // namespace

BuildOutcome RunListingBuild(const std::vector<std::string>& paths, const QString& output,
                             QWidget* owner) {
  BuildOutcome outcome;
  ProjectLayer project(paths, &outcome);
  if (project.failed()) return outcome;
  ListingBuildOptions options;
  options.format = ListingFormatForOutput(output.toStdString());
  options.preformat = PreformatForListing;
  options.preformat_jobs = 0;  // one per core, ahead of the listing
  ListingBuildResult result;
  {
    CProgressDlg progress(owner);
    progress.Create(owner);
    // Over the progress window: the main window is disabled meanwhile, and
    // a box over it could not be answered.
    MessageBoxWarnings warnings(&progress);
    options.warnings = &warnings;
    options.progress = &progress;
    result = folios::RunListingBuild(paths, output.toStdString(), options);
    progress.Destroy();
  }
  outcome.cancelled = result.cancelled;
  if (!result.output.ok()) {
    outcome.failures << output + QStringLiteral(": ") + Text(result.output.message());
  }
  for (const ListingFileFailure& failure : result.failed_files) {
    outcome.failures << Text(failure.path) + QStringLiteral(": ") + Text(failure.reason);
  }
  for (const ListingFileFailure& failure : result.listed_unformatted) {
    outcome.failures << Text(failure.path) + QObject::tr(": listed as it is: ") + Text(failure.reason);
  }
  return outcome;
}

BuildOutcome RunDocumentationBuild(const std::vector<std::string>& paths, const QString& output,
                                   QWidget* owner) {
  BuildOutcome outcome;
  ProjectLayer project(paths, &outcome);
  if (project.failed()) return outcome;
  // The engine's text streams are for the command line; the desktop program
  // reads the result.
  std::ostringstream out;
  std::ostringstream err;
  docgen::DocResult result;
  {
    CProgressDlg progress(owner);
    progress.Create(owner);
    result = docgen::RunDocBuild(docgen::DocOptionsFromSettings(paths, output.toStdString()), &progress, out,
                                 err, QDir::tempPath().toStdString());
    progress.Destroy();
  }
  for (const docgen::DocError& error : result.errors) outcome.failures << Text(error.text);
  if (result.code != docgen::kDocOk && outcome.failures.isEmpty()) {
    outcome.failures << QObject::tr("The build ended with error %1.").arg(result.code);
  }
  return outcome;
}

BuildOutcome RunReformatBuild(const std::vector<std::string>& paths, QWidget* owner) {
  BuildOutcome outcome;
  ProjectLayer project(paths, &outcome);
  if (project.failed()) return outcome;
  std::ostringstream out;
  std::ostringstream err;
  ReformatBuildResult result;
  {
    CProgressDlg progress(owner);
    progress.Create(owner);
    result = folios::RunReformatBuild(paths, &progress, out, err);
    progress.Destroy();
  }
  for (const ReformatFailure& failure : result.failures) {
    outcome.failures << Text(failure.path) + QStringLiteral(": ") + Text(failure.reason);
  }
  return outcome;
}

}  // namespace folios::gui
