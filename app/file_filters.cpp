#include "file_filters.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace folios::gui {

namespace {

const char kCppHead[] =
    "C++ Files (*.dsp;*.cpp;*.c;*.hpp;*.h) | *.dsp;*.cpp;*.c;*.cc;*.cxx;*.c++;*.cp;"
    "*.hpp;*.h;*.hh;*.hxx;*.h++;*.inl;*.ipp;*.tcc|";
const char kVbHead[] = "Visual Basic Files (*.vbp;*.frm;*.bas;*.cls)|*.vbp;*.frm;*.bas;*.cls;|";
const char kJavaHead[] = "Java Files (*.java)|*.java|";
const char kTail[] =
    "VB-Projectfile (*.vbp)|*.vbp;|Forms (*.frm)|*.frm;|Classmodule (*.cls)|*.cls;|"
    "Module (*.bas)|*.bas;|C++ Sourcefile (*.cpp; *.c)|*.cpp;*.c;*.cc;*.cxx;*.c++;*.cp|"
    "C++ Headerfiles (*.hpp;*.h)|*.hpp;*.h;*.hh;*.hxx;*.h++;*.inl;*.ipp;*.tcc||";

// The descriptions of the filters above, for the translation catalogues.
[[maybe_unused]] const char* const kDescriptions[] = {
    QT_TRANSLATE_NOOP("FileFilters", "C++ Files"),
    QT_TRANSLATE_NOOP("FileFilters", "Visual Basic Files"),
    QT_TRANSLATE_NOOP("FileFilters", "Java Files"),
    QT_TRANSLATE_NOOP("FileFilters", "VB-Projectfile"),
    QT_TRANSLATE_NOOP("FileFilters", "Forms"),
    QT_TRANSLATE_NOOP("FileFilters", "Classmodule"),
    QT_TRANSLATE_NOOP("FileFilters", "Module"),
    QT_TRANSLATE_NOOP("FileFilters", "C++ Sourcefile"),
    QT_TRANSLATE_NOOP("FileFilters", "C++ Headerfiles"),
    QT_TRANSLATE_NOOP("FileFilters", "Rich Text Format"),
    QT_TRANSLATE_NOOP("FileFilters", "Web page"),
    QT_TRANSLATE_NOOP("FileFilters", "Lumentra Folios keywords"),
};

}  // namespace

QStringList QtFilters(const QString& pairs) {
  QStringList parts = pairs.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    qsizetype paren = description.indexOf(QLatin1Char('('));
    if (paren >= 0) description.truncate(paren);
    description = description.trimmed();
    if (description.isEmpty()) continue;
    description = QCoreApplication::translate("FileFilters", description.toUtf8().constData());
    static const QRegularExpression kSeparators(QStringLiteral("[;\\s]+"));
    QStringList patterns = parts[i + 1].split(kSeparators, Qt::SkipEmptyParts);
    if (patterns.isEmpty()) continue;
    filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters;
}

QStringList OpenFileFilters(int file_filter) {
  QString head;
  switch (file_filter) {
    case 0:
      head = QString::fromLatin1(kCppHead) + kVbHead + kJavaHead;
      break;
    case 1:
      head = QString::fromLatin1(kVbHead) + kCppHead + kJavaHead;
      break;
    default:
      head = QString::fromLatin1(kJavaHead) + kVbHead + kCppHead;
      break;
  }
  return QtFilters(head + kTail);
}

QString RtfFilter() { return QtFilters(QStringLiteral("Rich Text Format (*.rtf)|*.rtf||")).first(); }

QString HtmlFilter() { return QtFilters(QStringLiteral("Web page (*.html;*.htm)|*.html;*.htm||")).first(); }

QString KeywordFileFilter() {
  return QtFilters(QStringLiteral("Lumentra Folios keywords (*.lfx) | *.lfx||")).first();
}

}  // namespace folios::gui
