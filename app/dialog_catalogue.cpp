#include "dialog_catalogue.h"

#include <memory>

#include "about_dlg.h"
#include "advanced_format.h"
#include "change_font_dlg.h"
#include "doc_options_code.h"
#include "edit_keywords.h"
#include "find_dialog.h"
#include "keyword_dlg.h"
#include "noise_chars_dlg.h"
#include "progress_dlg.h"
#include "project_file.h"
#include "prop_sheet.h"
#include "properties_dlg.h"
#include "statistics_dlg.h"

namespace folios::gui {

namespace {

void VisitSheet(const QString& name, CPropertySheet* sheet,
                const std::function<void(const QString&, QDialog*)>& visit) {
  if (sheet->pageCount() == 1) {
    visit(name, sheet);
    return;
  }
  for (int i = 0; i < sheet->pageCount(); ++i) {
    sheet->setCurrentPage(i);
    visit(name + QStringLiteral("-%1").arg(i + 1), sheet);
  }
}

}  // namespace

void ForEachDialog(QWidget* parent, const QString& filePath,
                   const std::function<void(const QString& name, QDialog* dialog)>& visit) {
  {
    CAboutDlg dialog(parent);
    visit(QStringLiteral("about"), &dialog);
  }
  {
    CFindDlg dialog(parent);
    visit(QStringLiteral("find"), &dialog);
  }
  {
    CNoiseCharsDlg dialog(parent);
    visit(QStringLiteral("noise-chars"), &dialog);
  }
  {
    CPropSheet sheet(parent);
    VisitSheet(QStringLiteral("preferences"), &sheet, visit);
  }
  {
    CPropDlgDoc sheet(parent);
    VisitSheet(QStringLiteral("document-options"), &sheet, visit);
  }
  {
    CChangeFontDlg dialog(TextStyle(), parent);
    visit(QStringLiteral("change-font"), &dialog);
  }
  {
    CAdvanced_C_Format_sheet sheet(parent);
    VisitSheet(QStringLiteral("format-options"), &sheet, visit);
  }
  {
    CPropKeywords sheet(parent);
    VisitSheet(QStringLiteral("edit-keywords"), &sheet, visit);
  }
  {
    KeywordFormat keyword = CKeywordDlg::TemplateFormat();
    keyword.keyword = QStringLiteral("static_cast");
    CKeywordDlg dialog(keyword, parent);
    visit(QStringLiteral("edit-keyword"), &dialog);
  }
  {
    CProgressDlg dialog(parent);
    dialog.SetCaption("Add files to main area");
    visit(QStringLiteral("progress"), &dialog);
  }
  {
    CPropertiesDlg dialog(filePath, parent);
    visit(QStringLiteral("properties"), &dialog);
  }
  {
    CProjectFile none;
    CStatisticsDlg dialog(Statistics(none, {}), parent);
    visit(QStringLiteral("statistics"), &dialog);
  }
}

QPalette DarkPalette() {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
  dark.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8));
  dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
  dark.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x33));
  dark.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xe8));
  dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
  dark.setColor(QPalette::ButtonText, QColor(0xe8, 0xe8, 0xe8));
  dark.setColor(QPalette::Highlight, QColor(0x2a, 0x6f, 0xd6));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3a));
  dark.setColor(QPalette::ToolTipText, QColor(0xe8, 0xe8, 0xe8));
  dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x90, 0x90, 0x90));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x90, 0x90, 0x90));
  dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x90, 0x90, 0x90));
  return dark;
}

}  // namespace folios::gui
