// The three builds as the desktop program runs them: each takes the rows of
// the file list in display order, shows its progress in a CProgressDlg over
// the main window, and collects what failed so that it can be shown in one
// message afterwards.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QWidget;

namespace folios::gui {

struct BuildOutcome {
  bool cancelled = false;  // the user stopped the build
  QStringList failures;   // one line per failure, "what: why", in list order
  QString project_settings;  // the project settings file the build applied, if any
};

// Asks for the output document: a save dialog proposing `proposedPath`,
// with the filter of its type (RTF, or a web page for ".html"), any new or
// existing path allowed and nothing appended to it; an existing file must
// be confirmed with the "Save" question (it is replaced only once the new
// document is complete). Empty when the user cancels or declines.
QString AskOutputFile(QWidget* parent, const QString& proposedPath);

// The extension of the document a build writes as the settings choose it:
// ".rtf" or ".html" (m_output_type for the listing, m_doctype 2 for the
// documentation).
QString ListingExtension();
QString DocumentationExtension();

// The source code listing of `paths` into `output`: a web page when its
// name ends in ".html" or ".htm", RTF when in ".rtf", else as m_output_type
// says.
BuildOutcome RunListingBuild(const std::vector<std::string>& paths, const QString& output,
                             QWidget* owner);
// The documentation of `paths` into `output`, driven by the settings and
// the format file LFX.fmt.
BuildOutcome RunDocumentationBuild(const std::vector<std::string>& paths, const QString& output,
                                   QWidget* owner);
// Reformats the C, C++ and Java files among `paths` in place, each after a
// ".orig" backup.
BuildOutcome RunReformatBuild(const std::vector<std::string>& paths, QWidget* owner);

// After a build in which anything failed, one message listing the failures
// (at most kMaxListedLines, then how many more). Shows nothing otherwise.
void ReportFailures(QWidget* parent, const QString& title, const QString& intro,
                    const BuildOutcome& outcome);

}  // namespace folios::gui
