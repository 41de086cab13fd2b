// The file-type filters of the program's file dialogs, kept in their
// "description|patterns|...||" form and converted for Qt's dialogs.
#pragma once

#include <QString>
#include <QStringList>

namespace folios::gui {

// "description|patterns|description|patterns||" to Qt filters, one per
// pair: the description up to its first "(" and the patterns, split at ";"
// and blanks, in parentheses ("C++ Files (*.dsp *.cpp)"). Empty patterns
// are dropped; a pair without a description is skipped.
QStringList QtFilters(const QString& pairs);

// The filters of Open Project/File for the stored m_filefilter value: the
// chosen group first (0 C++, 1 Visual Basic, anything else Java), then the
// common tail. The first one is the selected filter.
QStringList OpenFileFilters(int file_filter);

// "Rich Text Format (*.rtf)" for the output of the builds.
QString RtfFilter();
// "Web page (*.html *.htm)" for the builds' web pages.
QString HtmlFilter();

// The filter of the keyword-file choosers.
QString KeywordFileFilter();

}  // namespace folios::gui
