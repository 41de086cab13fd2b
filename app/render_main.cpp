// folios-gui-render: draws the main window and every dialog into PNG files,
// so they can be looked at without a display (QT_QPA_PLATFORM=offscreen).
//
// Usage: folios-gui-render OUTPUT_DIR [SAMPLES_DIR]
// The settings and user data go to a fresh temporary directory; the file
// list is filled from SAMPLES_DIR when given.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QVBoxLayout>
#include <cstdio>

#include "about_dlg.h"
#include "advanced_format.h"
#include "change_font_dlg.h"
#include "doc_options_code.h"
#include "edit_keywords.h"
#include "keyword_dlg.h"
#include "file_list_model.h"
#include "find_dialog.h"
#include "font_sample.h"
#include "group_icons.h"
#include "lfx_app.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "noise_chars_dlg.h"
#include "progress_dlg.h"
#include "prop_sheet.h"
#include "properties_dlg.h"
#include "settings_table.h"
#include "statistics_dlg.h"

using namespace folios::gui;

namespace {

QString g_out;
int g_count = 0;

void Save(QWidget* widget, const QString& name, bool fitContents = true) {
  widget->show();
  if (fitContents) widget->adjustSize();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  const QString path = g_out + QLatin1Char('/') + name + QStringLiteral(".png");
  if (widget->grab().save(path)) {
    std::printf("%s\n", qPrintable(path));
    ++g_count;
  } else {
    std::fprintf(stderr, "folios-gui-render: cannot write %s\n", qPrintable(path));
  }
  widget->hide();
}

void SaveMessage(QMessageBox::Icon icon, const QString& title, const QString& text,
                 QMessageBox::StandardButtons buttons, const QString& name) {
  QMessageBox box(icon, title, text, buttons);
  Save(&box, name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("Usage: folios-gui-render OUTPUT_DIR [SAMPLES_DIR]\n", stderr);
    return 2;
  }
  QTemporaryDir scratch;
  qputenv("FOLIOS_CONFIG_DIR", QFile::encodeName(scratch.filePath("config")));
  qputenv("FOLIOS_DATA_DIR", QFile::encodeName(scratch.filePath("data")));
  QApplication app(argc, argv);
  SetUpApplication(app);
  g_out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(g_out);

  CLFXApp folios;
  QStringList inputs;
  if (argc > 2) inputs << QString::fromLocal8Bit(argv[2]);
  folios.InitInstance(QStringList());
  CMainFrame* frame = folios.mainFrame();
  Save(frame, QStringLiteral("main-window-empty"), false);
  frame->show();
  if (!inputs.isEmpty()) {
    // Every type, so the samples of all four languages are found.
    folios::Settings settings(folios::SettingKey::kMain);
    for (const char* type : {"m_cpp", "m_h", "m_java", "m_frm", "m_bas", "m_cls"}) {
      settings.SetInt(type, 1);
    }
    frame->view()->openPaths(inputs);
  }
  const char* modes[] = {"large-icons", "small-icons", "list", "details"};
  for (int mode = 1; mode <= 4; ++mode) {
    frame->view()->setViewMode(mode);
    Save(frame, QStringLiteral("main-window-%1").arg(QString::fromLatin1(modes[mode - 1])), false);
  }
  frame->view()->sortByColumn(FileListModel::kSize);
  Save(frame, QStringLiteral("main-window-sorted-by-size"), false);

  CStatisticsDlg stats(Statistics(folios.files(), frame->view()->model()->totals()), frame);
  Save(&stats, QStringLiteral("statistics"));
  CAboutDlg about(frame);
  Save(&about, QStringLiteral("about"));
  CFindDlg find(frame);
  Save(&find, QStringLiteral("find"));
  CNoiseCharsDlg noise(frame);
  Save(&noise, QStringLiteral("noise-chars"));

  CPropSheet sheet(frame);
  for (int i = 0; i < sheet.pageCount(); ++i) {
    sheet.setCurrentPage(i);
    Save(&sheet, QStringLiteral("preferences-%1").arg(i + 1));
  }
  CPropDlgDoc documentOptions(frame);
  Save(&documentOptions, QStringLiteral("document-options"));
  TextStyle header;
  header.fontsize = 16;
  header.bold = true;
  header.forecolor = 9;
  header.back_color = 7;
  CChangeFontDlg changeFont(header, frame);
  Save(&changeFont, QStringLiteral("change-font"));
  CAdvanced_C_Format_sheet formatOptions(frame);
  Save(&formatOptions, QStringLiteral("format-options"));
  {
    // The second brace style with wide comment columns and many empty lines.
    folios::Settings settings(folios::SettingKey::kMain);
    settings.SetInt("m_brace_style", 1);
    settings.SetText("m_c_with_code", "30");
    settings.SetText("m_empty_lines", "6");
    CAdvanced_C_Format_sheet wide(frame);
    Save(&wide, QStringLiteral("format-options-style2"));
    settings.SetInt("m_brace_style", 0);
    settings.SetText("m_c_with_code", "1");
    settings.SetText("m_empty_lines", "2");
  }
  CPropKeywords keywords(frame);
  Save(&keywords, QStringLiteral("edit-keywords"));
  KeywordFormat keyword = CKeywordDlg::TemplateFormat();
  keyword.keyword = QStringLiteral("static_cast");
  CKeywordDlg keywordDialog(keyword, frame);
  Save(&keywordDialog, QStringLiteral("edit-keyword"));

  CProgressDlg progress(frame);
  progress.SetCaption("Add files to main area");
  progress.SetRange(0, 4);
  progress.SetStep(1);
  progress.StepIt();
  progress.StepIt();
  progress.SetStatus("/home/ada/src/shapes.cpp");
  Save(&progress, QStringLiteral("progress"));

  if (frame->view()->rowCount() > 0) {
    CPropertiesDlg props(QString::fromStdString(frame->view()->model()->row(0).path()), frame);
    Save(&props, QStringLiteral("properties"));
  }

  QWidget samples;
  samples.setWindowTitle(QStringLiteral("Font samples"));
  auto* layout = new QVBoxLayout(&samples);
  layout->addWidget(new CFontSample(&samples, QStringLiteral("Source code"),
                                    QStringLiteral("DejaVu Sans Mono"), 10));
  layout->addWidget(new CFontSample(&samples, QStringLiteral("Comment"),
                                    QStringLiteral("DejaVu Serif"), 8, false, false, true,
                                    Qt::AlignLeft | Qt::AlignTop, QColor(0, 128, 0)));
  layout->addWidget(new CFontSample(&samples, QStringLiteral("Header"),
                                    QStringLiteral("DejaVu Sans"), 16, true, true, false,
                                    Qt::AlignLeft | Qt::AlignTop, Qt::blue, false,
                                    QColor(0xff, 0xff, 0xc0)));
  samples.resize(260, 120);
  Save(&samples, QStringLiteral("font-sample"));

  SaveMessage(QMessageBox::Warning, QStringLiteral("Save"),
              QStringLiteral("/home/ada/docs/listing.rtf already exists!\nDo you want to replace it?"),
              QMessageBox::Yes | QMessageBox::No, QStringLiteral("message-replace"));
  SaveMessage(QMessageBox::Information, QStringLiteral("Lumentra Folios"),
              QStringLiteral("No files where found in the directory!"), QMessageBox::Ok,
              QStringLiteral("message-no-files"));
  SaveMessage(QMessageBox::Question, QStringLiteral("Lumentra Folios"),
              QStringLiteral("Do you want to reset your settings to their original defaults?"),
              QMessageBox::Yes | QMessageBox::No, QStringLiteral("message-reset"));
  SaveMessage(QMessageBox::Warning, QStringLiteral("Lumentra Folios"),
              QStringLiteral("The \"Start at\" value must be > 0 and < 100000!"), QMessageBox::Ok,
              QStringLiteral("message-start-at"));
  SaveMessage(QMessageBox::Question, QStringLiteral("Lumentra Folios"),
              QStringLiteral("Do you want to change the default values to:\nBold: True\n"
                             "Italic: False\nUnderline: False\nFont color: dark blue\n"
                             "Background color: white\n"),
              QMessageBox::Yes | QMessageBox::No, QStringLiteral("message-keyword-default"));

  std::printf("%d pictures written to %s\n", g_count, qPrintable(g_out));
  return g_count > 0 ? 0 : 1;
}
