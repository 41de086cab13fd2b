// The keyword editor: the "Edit Keywords" sheet over real keyword files,
// the "Edit keyword" dialog, writing back, the shipped files kept intact,
// and a listing that uses what was edited.
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "build_commands.h"
#include "data_files.h"
#include "edit_keywords.h"
#include "file_dialog.h"
#include "gui_test_support.h"
#include "keyword_dlg.h"
#include "message_box.h"
#include "registry.h"
#include "settings_table.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::Child;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::Read;
using folios::gui::test::WhenModal;
using folios::gui::test::Write;

namespace {

// Three keywords, each with other styles and colours, and the trailing
// empty record.
const char kThree[] =
    "Lumentra Folios bgc\n"
    "alpha\nTrue\nFalse\nFalse\n2\n8\n"
    "beta\nFalse\nTrue\nFalse\n6\n7\n"
    "gamma\nFalse\nFalse\nTrue\n3\n8\n"
    "\n\n\n\n0\n0\n";

QStringList Row(const QTreeWidget* list, int row) {
  QStringList cells;
  for (int c = 0; c < CEditKeywords::kColumnCount; ++c) cells << list->topLevelItem(row)->text(c);
  return cells;
}

QStringList Keywords(const QTreeWidget* list) {
  QStringList words;
  for (int i = 0; i < list->topLevelItemCount(); ++i) words << list->topLevelItem(i)->text(0);
  return words;
}

// Fills the open "Edit keyword" dialog and presses OK.
void FillKeyword(QDialog* d, const QString& keyword, bool bold, const QString& fore,
                 const QString& back, bool all = false) {
  Child<QLineEdit>(d, "keywordEdit")->setText(keyword);
  Child<QCheckBox>(d, "boldCheck")->setChecked(bold);
  Child<QComboBox>(d, "foreColorCombo")->setCurrentText(fore);
  Child<QComboBox>(d, "backColorCombo")->setCurrentText(back);
  Child<QCheckBox>(d, "allKeywordsCheck")->setChecked(all);
  Child<QPushButton>(d, "okButton")->click();
}

}  // namespace

class TestKeywordEditor : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiTestEnvironment> m_env;
  std::unique_ptr<folios::test::TempDir> m_dir;
  std::unique_ptr<CPropKeywords> m_sheet;

  std::string file(const char* name) const { return m_dir->File(name); }
  QString qfile(const char* name) const { return QString::fromStdString(file(name)); }
  CEditKeywords* page() const { return static_cast<CEditKeywords*>(m_sheet->page(0)); }
  QTreeWidget* list() const { return Child<QTreeWidget>(m_sheet.get(), "keywordList"); }
  QString groupTitle() const { return Child<QGroupBox>(m_sheet.get(), "keywordsGroup")->title(); }
  void open() {
    m_sheet = std::make_unique<CPropKeywords>();
    m_sheet->show();
  }
  // The sheet on a copy of kThree.
  void openThree() {
    Write(file("three.lfx"), kThree);
    Settings().SetText("kwfile", file("three.lfx"));
    open();
  }
  void select(int row) {
    QTreeWidgetItem* item = list()->topLevelItem(row);
    list()->setCurrentItem(item);
  }
  std::string shippedC() const { return ShippedDataDirectory() + "/C-Keywords.lfx"; }

 private slots:
  void init() {
    m_env = std::make_unique<GuiTestEnvironment>();
    m_dir = std::make_unique<folios::test::TempDir>();
  }
  void cleanup() {
    m_sheet.reset();
    m_dir.reset();
    m_env.reset();
  }

  void showsTheFileOfTheSettingRowByRow() {
    openThree();
    QCOMPARE(m_sheet->windowTitle(), QString("Edit Keywords"));
    QCOMPARE(m_sheet->pageTitles(), QStringList{"Edit Keywords"});
    QCOMPARE(Child<QLineEdit>(m_sheet.get(), "currentFileEdit")->text(), qfile("three.lfx"));
    QCOMPARE(groupTitle(), QString("Keywords (3)"));
    QStringList headers;
    for (int c = 0; c < CEditKeywords::kColumnCount; ++c) headers << list()->headerItem()->text(c);
    QCOMPARE(headers, (QStringList{"Keyword", "Bold", "Italic", "Underline", "Font color",
                                   "Back color"}));
    QCOMPARE(Row(list(), 0), (QStringList{"alpha", "True", "False", "False", "blue", "white"}));
    QCOMPARE(Row(list(), 1), (QStringList{"beta", "False", "True", "False", "red", "yellow"}));
    QCOMPARE(Row(list(), 2),
             (QStringList{"gamma", "False", "False", "True", QString::fromUtf8("türkis"), "white"}));
    QVERIFY(MessageBox::shown().isEmpty());
  }

  void startsOnTheShippedCFile() {
    open();
    QCOMPARE(QFileInfo(page()->currentFile()).canonicalFilePath(),
             QFileInfo(QString::fromStdString(shippedC())).canonicalFilePath());
    QVERIFY(list()->topLevelItemCount() > 10);
    QCOMPARE(groupTitle(), QString("Keywords (%1)").arg(list()->topLevelItemCount()));
  }

  void aMissingFileGivesAnEmptyListWrittenWithItsTrailingRecord() {
    Settings().SetText("kwfile", file("new.lfx"));
    open();
    QCOMPARE(list()->topLevelItemCount(), 0);
    QCOMPARE(groupTitle(), QString("Keywords (0)"));
    m_sheet->accept();
    QCOMPARE(Read(file("new.lfx")), std::string("Lumentra Folios bgc\n\n\n\n\n0\n0\n"));
  }

  void aFileWithAWrongHeaderIsShownButNeverWritten() {
    Write(file("notes.lfx"), "my notes\nkeep me\n");
    Settings().SetText("kwfile", file("notes.lfx"));
    open();
    QCOMPARE(MessageBox::lastText(),
             "The file " + qfile("notes.lfx") + " is invalid!\nSelect another keywordfile!");
    QVERIFY(!Child<QPushButton>(m_sheet.get(), "addButton")->isEnabled());
    QVERIFY(!Child<QPushButton>(m_sheet.get(), "deleteButton")->isEnabled());
    page()->addKeyword();  // refused without a dialog
    m_sheet->accept();
    QCOMPARE(Read(file("notes.lfx")), std::string("my notes\nkeep me\n"));
  }

  void loadingAnotherFile() {
    openThree();
    Write(file("other.lfx"), "Lumentra Folios bgc\nzeta\nTrue\nTrue\nTrue\n1\n8\n\n\n\n\n0\n0\n");
    Write(file("bad.lfx"), "Lumentra Folios\nzeta\n");
    FileDialog::setNextFileName(qfile("other.lfx"));
    Child<QPushButton>(m_sheet.get(), "loadButton")->click();
    QCOMPARE(FileDialog::lastRequest().filter, QString("Lumentra Folios keywords (*.lfx)"));
    QCOMPARE(FileDialog::lastRequest().directory, QString::fromStdString(m_dir->path()));
    QCOMPARE(page()->currentFile(), qfile("other.lfx"));
    QCOMPARE(Keywords(list()), QStringList{"zeta"});
    QCOMPARE(groupTitle(), QString("Keywords (1)"));
    QVERIFY(m_sheet->applyButton()->isEnabled());

    // A wrong header or a cancelled dialog changes nothing.
    FileDialog::setNextFileName(qfile("bad.lfx"));
    Child<QPushButton>(m_sheet.get(), "loadButton")->click();
    QCOMPARE(MessageBox::lastText(),
             "The file " + qfile("bad.lfx") + " is invalid!\nSelect another keywordfile!");
    Child<QPushButton>(m_sheet.get(), "loadButton")->click();
    QCOMPARE(page()->currentFile(), qfile("other.lfx"));
    QCOMPARE(Keywords(list()), QStringList{"zeta"});

    m_sheet->accept();
    QCOMPARE(Settings().Text("kwfile"), file("other.lfx"));
    QCOMPARE(Read(file("bad.lfx")), std::string("Lumentra Folios\nzeta\n"));
  }

  void addingTakesTheFormatForNewKeywords() {
    Settings kw(SettingKey::kTemplateKw);
    openThree();
    QStringList shown;
    WhenModal("folios::gui::CKeywordDlg", [&](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("Edit keyword"));
      shown << Child<QLineEdit>(d, "keywordEdit")->text()
            << QString::number(Child<QCheckBox>(d, "boldCheck")->isChecked())
            << Child<QComboBox>(d, "foreColorCombo")->currentText()
            << Child<QComboBox>(d, "backColorCombo")->currentText();
      Child<QLineEdit>(d, "keywordEdit")->setText("delta");
      Child<QPushButton>(d, "okButton")->click();
    });
    Child<QPushButton>(m_sheet.get(), "addButton")->click();
    QCOMPARE(shown, (QStringList{"", "0", "dark blue", "white"}));
    QCOMPARE(Row(list(), 3), (QStringList{"delta", "False", "False", "False", "dark blue", "white"}));
    QCOMPARE(groupTitle(), QString("Keywords (4)"));
    QVERIFY(list()->topLevelItem(3)->isSelected());

    kw.SetInt("m_bold", 1);
    kw.SetInt("m_underline", 1);
    kw.SetInt("m_strcolor", 13);
    kw.SetInt("m_strbackcolor", 7);
    WhenModal("folios::gui::CKeywordDlg", [](QDialog* d) {
      Child<QLineEdit>(d, "keywordEdit")->setText("two words");
      Child<QPushButton>(d, "okButton")->click();
    });
    Child<QPushButton>(m_sheet.get(), "addButton")->click();
    QCOMPARE(Row(list(), 4), (QStringList{"two words", "True", "False", "True", "dark red", "yellow"}));

    WhenModal("folios::gui::CKeywordDlg", [](QDialog* d) {
      Child<QLineEdit>(d, "keywordEdit")->setText("never");
      Child<QPushButton>(d, "cancelButton")->click();
    });
    Child<QPushButton>(m_sheet.get(), "addButton")->click();
    QCOMPARE(groupTitle(), QString("Keywords (5)"));
  }

  void keywordDialogRefusesAnEmptyKeywordAndEqualColours() {
    CKeywordDlg dialog(KeywordFormat{"", false, false, false, 9, 8});
    dialog.show();
    dialog.accept();
    QCOMPARE(MessageBox::lastText(), QString("You must enter a keyword!"));
    QVERIFY(dialog.isVisible());
    Child<QLineEdit>(&dialog, "keywordEdit")->setText("k");
    Child<QComboBox>(&dialog, "backColorCombo")->setCurrentText("dark blue");
    dialog.accept();
    QCOMPARE(MessageBox::lastText(), QString("The font and backcolor name must be different!"));
    QVERIFY(dialog.isVisible());
    Child<QComboBox>(&dialog, "backColorCombo")->setCurrentText("white");
    dialog.accept();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }

  void editingARowAndGivingItsFormatToAll() {
    openThree();
    select(1);
    QStringList shown;
    WhenModal("folios::gui::CKeywordDlg", [&](QDialog* d) {
      shown << Child<QLineEdit>(d, "keywordEdit")->text()
            << QString::number(Child<QCheckBox>(d, "italicCheck")->isChecked())
            << Child<QComboBox>(d, "foreColorCombo")->currentText()
            << Child<QComboBox>(d, "backColorCombo")->currentText();
      FillKeyword(d, "beta2", true, "dark red", "yellow", true);
    });
    page()->editKeyword();
    QCOMPARE(shown, (QStringList{"beta", "1", "red", "yellow"}));
    // Keywords untouched elsewhere; the five format columns everywhere.
    QCOMPARE(Row(list(), 0), (QStringList{"alpha", "True", "True", "False", "dark red", "yellow"}));
    QCOMPARE(Row(list(), 1), (QStringList{"beta2", "True", "True", "False", "dark red", "yellow"}));
    QCOMPARE(Row(list(), 2), (QStringList{"gamma", "True", "True", "False", "dark red", "yellow"}));

    // Without the box only the row changes; double-click edits it too.
    WhenModal("folios::gui::CKeywordDlg", [](QDialog* d) {
      FillKeyword(d, "alpha", false, "black", "white");
    });
    QTreeWidgetItem* first = list()->topLevelItem(0);
    list()->setCurrentItem(first);
    emit list()->itemDoubleClicked(first, 0);
    QCOMPARE(Row(list(), 0), (QStringList{"alpha", "False", "True", "False", "black", "white"}));
    QCOMPARE(Row(list(), 2), (QStringList{"gamma", "True", "True", "False", "dark red", "yellow"}));
  }

  void deletingNeedsASelectedRow() {
    openThree();
    // A current row that was never selected is not deleted.
    list()->setFocus();
    list()->selectionModel()->setCurrentIndex(list()->model()->index(0, 0),
                                              QItemSelectionModel::NoUpdate);
    Child<QPushButton>(m_sheet.get(), "deleteButton")->click();
    QCOMPARE(Keywords(list()), (QStringList{"alpha", "beta", "gamma"}));

    select(0);
    Child<QPushButton>(m_sheet.get(), "deleteButton")->click();
    QCOMPARE(Keywords(list()), (QStringList{"beta", "gamma"}));
    QCOMPARE(groupTitle(), QString("Keywords (2)"));
    QVERIFY(list()->topLevelItem(0)->isSelected());  // the row that took its place
    QTest::keyClick(list(), Qt::Key_Delete);
    QCOMPARE(Keywords(list()), QStringList{"gamma"});
    QTest::keyClick(list(), Qt::Key_Delete);
    QCOMPARE(list()->topLevelItemCount(), 0);
    QCOMPARE(groupTitle(), QString("Keywords (0)"));
    m_sheet->accept();
    QCOMPARE(Read(file("three.lfx")), std::string("Lumentra Folios bgc\n\n\n\n\n0\n0\n"));
  }

  void defaultMakesTheShownFormatTheOneForNewKeywords() {
    CKeywordDlg dialog(KeywordFormat{"k", true, false, true, 3, 14});
    MessageBox::setNextAnswer(QMessageBox::No);
    Child<QPushButton>(&dialog, "defaultButton")->click();
    QCOMPARE(MessageBox::lastText(),
             QString::fromUtf8("Do you want to change the default values to:\nBold: True\n"
                               "Italic: False\nUnderline: True\nFont color: türkis\n"
                               "Background color: ocher\n"));
    CRegistry registry;
    QVERIFY(!registry.QueryString(kLocalMachine, SettingKeyPath(SettingKey::kTemplateKw), "m_bold"));
    MessageBox::setNextAnswer(QMessageBox::Yes);
    Child<QPushButton>(&dialog, "defaultButton")->click();
    Settings kw(SettingKey::kTemplateKw);
    QCOMPARE(kw.Int("m_bold"), 1);
    QCOMPARE(kw.Int("m_italic"), 0);
    QCOMPARE(kw.Int("m_underline"), 1);
    QCOMPARE(kw.Int("m_strcolor"), 3);
    QCOMPARE(kw.Int("m_strbackcolor"), 14);
    QCOMPARE(CKeywordDlg::TemplateFormat().back, 14);
  }

  void editsAreWrittenInTheKeywordFormatAndReadBack() {
    openThree();
    select(2);
    WhenModal("folios::gui::CKeywordDlg", [](QDialog* d) {
      FillKeyword(d, "gamma ray", true, "violet", "light-green");
    });
    page()->editKeyword();
    select(0);
    Child<QPushButton>(m_sheet.get(), "deleteButton")->click();
    m_sheet->applyButton()->click();
    QCOMPARE(Read(file("three.lfx")),
             std::string("Lumentra Folios bgc\n"
                         "beta\nFalse\nTrue\nFalse\n6\n7\n"
                         "gamma ray\nTrue\nFalse\nTrue\n12\n4\n"
                         "\n\n\n\n0\n0\n"));
    m_sheet->reject();
    open();
    QCOMPARE(Row(list(), 1),
             (QStringList{"gamma ray", "True", "False", "True", "violet", "light-green"}));
    QCOMPARE(groupTitle(), QString("Keywords (2)"));
  }

  void cancelWritesNothing() {
    openThree();
    select(0);
    Child<QPushButton>(m_sheet.get(), "deleteButton")->click();
    m_sheet->reject();
    QCOMPARE(Read(file("three.lfx")), std::string(kThree));
  }

  void bytesOfOtherEncodingsSurviveUnlessEdited() {
    Write(file("latin.lfx"),
          "Lumentra Folios bgc\ncaf\xE9\nTrue\nFalse\nFalse\n1\n8\nx\nTrue\nFalse\nFalse\n1\n8\n"
          "\n\n\n\n0\n0\n");
    Settings().SetText("kwfile", file("latin.lfx"));
    open();
    QCOMPARE(list()->topLevelItem(0)->text(0), QString::fromUtf8("café"));
    select(1);
    WhenModal("folios::gui::CKeywordDlg", [](QDialog* d) { FillKeyword(d, "y", true, "black", "white"); });
    page()->editKeyword();
    m_sheet->accept();
    QVERIFY(Read(file("latin.lfx")).find("caf\xE9\nTrue") != std::string::npos);
  }

  void aFileReadOnlyInPartIsNeverWrittenOver() {
    const std::string broken =
        "Lumentra Folios bgc\nok\nTrue\nFalse\nFalse\n1\n8\nbad\nTrue\nFalse\nFalse\nred\n8\n"
        "lost\nTrue\nFalse\nFalse\n1\n8\n\n\n\n\n0\n0\n";
    Write(file("broken.lfx"), broken);
    Settings().SetText("kwfile", file("broken.lfx"));
    open();
    QVERIFY2(MessageBox::lastText().contains("could not be read completely"),
             qPrintable(MessageBox::lastText()));
    QCOMPARE(Keywords(list()), QStringList{"ok"});
    QVERIFY(!page()->editable());
    QVERIFY(!Child<QPushButton>(m_sheet.get(), "addButton")->isEnabled());
    m_sheet->accept();
    QCOMPARE(Read(file("broken.lfx")), broken);

    // A colour number too large for any integer is refused the same way.
    const std::string huge =
        "Lumentra Folios bgc\nok\nTrue\nFalse\nFalse\n9999999999\n8\n\n\n\n\n0\n0\n";
    Write(file("huge.lfx"), huge);
    Settings().SetText("kwfile", file("huge.lfx"));
    open();
    QVERIFY(!page()->editable());
    m_sheet->accept();
    QCOMPARE(Read(file("huge.lfx")), huge);
  }

  void aFileThatCannotBeWrittenKeepsTheSheetOpen() {
    Write(file("plain"), "x");
    Settings().SetText("kwfile", file("plain") + "/kw.lfx");
    open();
    m_sheet->accept();
    QVERIFY2(MessageBox::lastText().startsWith("The keyword file " + qfile("plain") + "/kw.lfx"),
             qPrintable(MessageBox::lastText()));
    QVERIFY(m_sheet->isVisible());
  }

  void theShippedFileIsNeverWrittenAndTheListingUsesTheEditedCopy() {
    Settings().SetInt("m_use_advanced_options", 0);
    const std::string shipped = Read(shippedC());
    Write(file("k.c"), "int frobnicate;\n");
    // Confirming an unchanged shipped file makes no copy of it.
    open();
    m_sheet->accept();
    const std::string userCopy = m_env->dataDir() + "/C-Keywords.lfx";
    QVERIFY(!folios::test::FileExists(userCopy));

    // A language set to the shipped file by name follows the edited copy.
    Settings().SetText("m_cfiles", shippedC());
    open();
    WhenModal("folios::gui::CKeywordDlg", [](QDialog* d) {
      FillKeyword(d, "frobnicate", true, "red", "white");
    });
    Child<QPushButton>(m_sheet.get(), "addButton")->click();
    m_sheet->accept();
    QCOMPARE(Read(shippedC()), shipped);
    QVERIFY(folios::test::FileExists(userCopy));
    QCOMPARE(Settings().Text("kwfile"), userCopy);
    QCOMPARE(Settings().Text("m_cfiles"), userCopy);
    QVERIFY(Read(userCopy).find("\nfrobnicate\nTrue\nFalse\nFalse\n6\n8\n") != std::string::npos);

    const QString output = qfile("k.rtf");
    QVERIFY(RunListingBuild({file("k.c")}, output, nullptr).failures.isEmpty());
    const std::string rtf = Read(file("k.rtf"));
    QVERIFY2(rtf.find("{\\b\\cf6\\highlight8 frobnicate}") != std::string::npos, rtf.c_str());

    // The editor opens the copy next time, and writes it in place.
    open();
    QCOMPARE(page()->currentFile(), QString::fromStdString(userCopy));
    QVERIFY(Keywords(list()).contains("frobnicate"));
  }
};

QTEST_MAIN(TestKeywordEditor)
#include "test_keyword_editor.moc"
