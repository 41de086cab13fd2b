// folios-gui-render: draws the main window and every dialog into PNG files,
// so they can be looked at without a display (QT_QPA_PLATFORM=offscreen).
//
// Usage: folios-gui-render [--dark] OUTPUT_DIR [SAMPLES_DIR]
// The settings and user data go to a fresh temporary directory; the file
// list is filled from SAMPLES_DIR when given. --dark draws with a dark
// palette; the language is the locale's (LANG) and the scale the one of
// QT_SCALE_FACTOR, as for the program itself.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QVBoxLayout>
#include <cstdio>

#include "about_dlg.h"
#include "advanced_format.h"
#include "change_font_dlg.h"
#include "dialog_catalogue.h"
#include "doc_options_code.h"
#include "edit_keywords.h"
#include "file_dialog.h"
#include "file_list_model.h"
#include "find_dialog.h"
#include "font_sample.h"
#include "group_icons.h"
#include "keyword_dlg.h"
#include "lfx_app.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "message_box.h"
#include "noise_chars_dlg.h"
#include "progress_dlg.h"
#include "prop_sheet.h"
#include "properties_dlg.h"
#include "setting_names.h"
#include "settings_table.h"
#include "shell.h"
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

// The main window with the message over it, as the user meets it.
void SaveOver(QWidget* window, QMessageBox* box, const QString& name) {
  box->show();
  box->adjustSize();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  QPixmap picture = window->grab();
  const QPixmap message = box->grab();
  QPainter painter(&picture);
  const QSizeF logical = QSizeF(message.size()) / message.devicePixelRatio();
  const QPointF at((window->width() - logical.width()) / 2,
                   (window->height() - logical.height()) / 3);
  painter.fillRect(QRectF(at + QPointF(4, 4), logical), QColor(0, 0, 0, 60));  // a shadow
  painter.drawPixmap(at, message);
  painter.end();
  box->hide();
  const QString path = g_out + QLatin1Char('/') + name + QStringLiteral(".png");
  if (picture.save(path)) {
    std::printf("%s\n", qPrintable(path));
    ++g_count;
  } else {
    std::fprintf(stderr, "folios-gui-render: cannot write %s\n", qPrintable(path));
  }
}

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const bool dark = args.removeAll(QStringLiteral("--dark")) > 0;
  if (args.isEmpty()) {
    std::fputs("Usage: folios-gui-render [--dark] OUTPUT_DIR [SAMPLES_DIR]\n", stderr);
    return 2;
  }
  QTemporaryDir scratch;
  qputenv("FOLIOS_CONFIG_DIR", QFile::encodeName(scratch.filePath("config")));
  qputenv("FOLIOS_DATA_DIR", QFile::encodeName(scratch.filePath("data")));
  QApplication app(argc, argv);
  SetUpApplication(app);
  if (dark) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(DarkPalette());
  }
  g_out = QDir(args.at(0)).absolutePath();
  QDir().mkpath(g_out);

  CLFXApp folios;
  QStringList inputs;
  if (args.size() > 1) inputs << QDir(args.at(1)).absolutePath();
  folios.InitInstance(QStringList());
  CMainFrame* frame = folios.mainFrame();
  Save(frame, QStringLiteral("main-window-empty"), false);
  frame->show();

  // Adding what cannot all be added: a missing file, a text file, and a
  // folder with a link out of it. The message is drawn over the window.
  MessageBox::setTestMode(true);
  {
    QTemporaryDir tree;
    QDir(tree.path()).mkpath(QStringLiteral("src/lib"));
    QDir(tree.path()).mkpath(QStringLiteral("elsewhere"));
    for (const char* name : {"src/main.cpp", "src/shapes.h", "src/lib/util.c", "notes.txt"}) {
      QFile file(tree.filePath(QString::fromLatin1(name)));
      if (file.open(QIODevice::WriteOnly)) file.write("int x;\n");
    }
    QFile::link(tree.filePath(QStringLiteral("elsewhere")),
                tree.filePath(QStringLiteral("src/away")));
    MessageBox::clearShown();
    frame->view()->openPaths({tree.filePath(QStringLiteral("src")),
                              tree.filePath(QStringLiteral("notes.txt")),
                              tree.filePath(QStringLiteral("gone.cpp"))});
    QMessageBox problems(QMessageBox::Warning, MessageBox::defaultTitle(), MessageBox::lastText(),
                         QMessageBox::Ok, frame);
    SaveOver(frame, &problems, QStringLiteral("main-window-problems"));
  }
  MessageBox::setTestMode(false);

  if (!inputs.isEmpty()) {
    // Every type, so the samples of all four languages are found.
    folios::Settings settings(folios::SettingKey::kMain);
    namespace names = folios::setting_name;
    for (const char* type : {names::kCpp, names::kH, names::kJava, names::kFrm, names::kBas, names::kCls}) {
      settings.SetInt(type, 1);
    }
    frame->view()->openPaths(inputs);
  }
  {
    // A listing of the samples, so the status bar tells the last build.
    FileDialog::setTestMode(true);
    FileDialog::setNextFileName(scratch.filePath(QStringLiteral("listing.rtf")));
    folios::Settings(folios::SettingKey::kMain).SetInt(folios::setting_name::kOpenfile, 0);
    if (frame->view()->rowCount() > 0) frame->view()->buildListing();
    FileDialog::setTestMode(false);
    folios::Settings(folios::SettingKey::kMain).SetInt(folios::setting_name::kOpenfile, 1);
  }
  const char* modes[] = {"large-icons", "small-icons", "list", "details"};
  for (int mode = 1; mode <= 4; ++mode) {
    frame->view()->setViewMode(mode);
    Save(frame, QStringLiteral("main-window-%1").arg(QString::fromLatin1(modes[mode - 1])), false);
  }
  frame->view()->sortByColumn(FileListModel::kSize);
  Save(frame, QStringLiteral("main-window-sorted-by-size"), false);
  frame->view()->unsort();

  const QString firstFile = frame->view()->rowCount() > 0
                                ? QString::fromStdString(frame->view()->model()->row(0).path())
                                : QString();
  ForEachDialog(frame, firstFile, [](const QString& name, QDialog* dialog) {
    // The statistics and the progress are drawn with content of their own below.
    if (name != QLatin1String("statistics") && name != QLatin1String("progress"))
      Save(dialog, name);
  });
  CStatisticsDlg stats(Statistics(folios.files(), frame->view()->model()->totals()), frame);
  Save(&stats, QStringLiteral("statistics"));
  {
    // The second brace style with wide comment columns and many empty lines.
    folios::Settings settings(folios::SettingKey::kMain);
    settings.SetInt(folios::setting_name::kBraceStyle, 1);
    settings.SetText(folios::setting_name::kCWithCode, "30");
    settings.SetText(folios::setting_name::kEmptyLines, "6");
    CAdvanced_C_Format_sheet wide(frame);
    Save(&wide, QStringLiteral("format-options-style2"));
    settings.SetInt(folios::setting_name::kBraceStyle, 0);
    settings.SetText(folios::setting_name::kCWithCode, "1");
    settings.SetText(folios::setting_name::kEmptyLines, "2");
  }

  CProgressDlg progress(frame);
  progress.SetCaption("Add files to main area");
  progress.SetRange(0, 4);
  progress.SetStep(1);
  progress.StepIt();
  progress.StepIt();
  progress.SetStatus("/home/ada/src/shapes.cpp");
  Save(&progress, QStringLiteral("progress"));

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

  // The messages in the program's words, in the language of the run.
  const auto translated = [](const char* context, const char* text) {
    return QCoreApplication::translate(context, text);
  };
  SaveMessage(QMessageBox::Warning, translated("QObject", "Save"),
              QStringLiteral("/home/ada/docs/listing.rtf") +
                  translated("QObject", " already exists!\nDo you want to replace it?"),
              QMessageBox::Yes | QMessageBox::No, QStringLiteral("message-replace"));
  SaveMessage(QMessageBox::Information, MessageBox::defaultTitle(),
              translated("folios::gui::CLFXView", "No files where found in the directory!"),
              QMessageBox::Ok, QStringLiteral("message-no-files"));
  SaveMessage(QMessageBox::Question, MessageBox::defaultTitle(),
              translated("folios::gui::COptPage1",
                         "Do you want to reset your settings to their original defaults?"),
              QMessageBox::Yes | QMessageBox::No, QStringLiteral("message-reset"));
  SaveMessage(
      QMessageBox::Warning, MessageBox::defaultTitle(),
      translated("folios::gui::CSourceOpt", "The \"Start at\" value must be > 0 and < 100000!"),
      QMessageBox::Ok, QStringLiteral("message-start-at"));
  SaveMessage(
      QMessageBox::Warning, MessageBox::defaultTitle(),
      translated("Shell", "%1 could not be opened: no application of this desktop took it.\n%2")
          .arg(QStringLiteral("/home/ada/docs/listing.rtf"),
               Shell::howToOpen(QStringLiteral("listing.rtf"))),
      QMessageBox::Ok, QStringLiteral("message-cannot-open"));

  std::printf("%d pictures written to %s\n", g_count, qPrintable(g_out));
  return g_count > 0 ? 0 : 1;
}
