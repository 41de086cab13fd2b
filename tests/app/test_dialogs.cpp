// The "Find" dialog, the "Define noise chars" dialog and the file
// properties dialog.
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "data_files.h"
#include "file_dialog.h"
#include "find_dialog.h"
#include "gui_test_support.h"
#include "message_box.h"
#include "noise_chars.h"
#include "noise_chars_dlg.h"
#include "properties_dlg.h"
#include "settings_table.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::Child;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::Read;
using folios::gui::test::Write;

namespace {

QStringList FileNames(const std::vector<std::string>& paths) {
  QStringList names;
  for (const std::string& p : paths) names << QString::fromStdString(p).section('/', -1);
  return names;
}

}  // namespace

class TestDialogs : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiTestEnvironment> m_env;
  std::unique_ptr<folios::test::TempDir> m_dir;

  std::string noiseFile() const { return m_env->dataDir() + "/noise-chars.lfx"; }
  void type(CNoiseCharsDlg& dialog, const QString& text) {
    auto* edit = Child<QLineEdit>(&dialog, "charEdit");
    edit->clear();
    bool ascii = true;
    for (QChar c : text) ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
      QTest::keyClicks(edit, text);
    } else {
      edit->insert(text);  // typed with an input method
    }
  }
  void add(CNoiseCharsDlg& dialog, const QString& text) {
    type(dialog, text);
    Child<QPushButton>(&dialog, "addButton")->click();
  }

 private slots:
  void init() {
    m_env = std::make_unique<GuiTestEnvironment>();
    m_dir = std::make_unique<folios::test::TempDir>();
  }
  void cleanup() {
    m_dir.reset();
    m_env.reset();
  }

  // ---- Find ----

  void findLoadsItsSettings() {
    Settings s;
    s.SetText("m_dir", "/work/src");
    s.SetInt("m_cpp", 0);
    s.SetInt("m_java", 1);
    s.SetInt("m_cls", 1);
    s.SetInt("m_find_subfolders", 0);
    CFindDlg dialog;
    QCOMPARE(dialog.windowTitle(), QString("Find"));
    QCOMPARE(Child<QLineEdit>(&dialog, "directoryEdit")->text(), QString("/work/src"));
    QVERIFY(Child<QLineEdit>(&dialog, "directoryEdit")->isReadOnly());
    QVERIFY(!Child<QCheckBox>(&dialog, "cppCheck")->isChecked());
    QVERIFY(Child<QCheckBox>(&dialog, "hCheck")->isChecked());
    QVERIFY(Child<QCheckBox>(&dialog, "javaCheck")->isChecked());
    QVERIFY(!Child<QCheckBox>(&dialog, "frmCheck")->isChecked());
    QVERIFY(!Child<QCheckBox>(&dialog, "basCheck")->isChecked());
    QVERIFY(Child<QCheckBox>(&dialog, "clsCheck")->isChecked());
    QVERIFY(!Child<QCheckBox>(&dialog, "subfoldersCheck")->isChecked());
  }

  void findRefusesASearchWithoutFileTypes() {
    Settings().SetText("m_dir", m_dir->path());
    CFindDlg dialog;
    for (const char* box : {"cppCheck", "hCheck"}) Child<QCheckBox>(&dialog, box)->setChecked(false);
    Child<QPushButton>(&dialog, "searchButton")->click();
    QCOMPARE(MessageBox::lastText(), QString("You must select at least one filetype!"));
    QCOMPARE(dialog.result(), 0);
    QVERIFY(dialog.foundFiles().empty());
    // Nothing was stored.
    QCOMPARE(Settings().Int("m_cpp"), 1);
  }

  void findWithEmptyDirectoryDoesNothing() {
    Settings().SetText("m_dir", "");
    CFindDlg dialog;
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    Child<QPushButton>(&dialog, "searchButton")->click();
    QCOMPARE(accepted.count(), 0);
    QVERIFY(MessageBox::shown().isEmpty());
  }

  void findSearchesInTypeOrderAndStoresTheFields() {
    Write(m_dir->File("b.h"), "");
    Write(m_dir->File("a.hpp"), "");
    Write(m_dir->File("m.cpp"), "");
    Write(m_dir->File("f.frm"), "");
    Write(m_dir->File("sub/deep.h"), "");
    Settings().SetText("m_dir", "/nowhere");
    CFindDlg dialog;
    FileDialog::setNextFileName(QString::fromStdString(m_dir->path()));
    Child<QPushButton>(&dialog, "browseButton")->click();
    QCOMPARE(FileDialog::lastRequest().title, QString("Select a directory!"));
    Child<QCheckBox>(&dialog, "frmCheck")->setChecked(true);
    Child<QCheckBox>(&dialog, "subfoldersCheck")->setChecked(false);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    Child<QPushButton>(&dialog, "searchButton")->click();
    QCOMPARE(accepted.count(), 1);
    QVERIFY(!dialog.searching());
    QVERIFY(dialog.isEnabled());
    // Headers (hpp before h), then sources, then forms; no subfolder.
    QCOMPARE(FileNames(dialog.foundFiles()), (QStringList{"a.hpp", "b.h", "m.cpp", "f.frm"}));
    Settings s;
    QCOMPARE(s.Text("m_dir"), m_dir->path());
    QCOMPARE(s.Int("m_frm"), 1);
    QCOMPARE(s.Int("m_find_subfolders"), 0);
    QCOMPARE(s.Int("m_cpp"), 1);
  }

  void findIncludesSubfoldersWhenAsked() {
    Write(m_dir->File("top.h"), "");
    Write(m_dir->File("sub/deep.h"), "");
    Settings().SetText("m_dir", m_dir->path());
    CFindDlg dialog;
    Child<QPushButton>(&dialog, "searchButton")->click();
    QCOMPARE(FileNames(dialog.foundFiles()), (QStringList{"top.h", "deep.h"}));
  }

  void findSwallowsEnterAndEscape() {
    CFindDlg dialog;
    dialog.show();
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(rejected.count() + accepted.count(), 0);
    QVERIFY(dialog.isVisible());
  }

  // ---- Define noise chars ----

  void noiseDialogStartsFromTheShippedSetWithoutAUserFile() {
    const std::string shipped = ReadNoiseCharsFile(LocateDataFile(kNoiseCharsFileName));
    CNoiseCharsDlg dialog;
    QCOMPARE(dialog.entries().size(), qsizetype(shipped.size()));
    dialog.accept();
    // OK writes the user's own copy.
    QCOMPARE(Read(noiseFile()).size(), shipped.size());
  }

  void noiseDialogStartsEmptyAndOkWritesAnEmptyFile() {
    Write(noiseFile(), "");
    CNoiseCharsDlg dialog;
    QCOMPARE(dialog.windowTitle(), QString("Define noise chars"));
    QVERIFY(dialog.entries().isEmpty());
    QVERIFY(!Child<QPushButton>(&dialog, "addButton")->isEnabled());
    QVERIFY(!Child<QPushButton>(&dialog, "removeButton")->isEnabled());
    dialog.accept();
    QVERIFY(folios::test::FileExists(noiseFile()));
    QCOMPARE(Read(noiseFile()), std::string());
  }

  void noiseDialogShowsTheFileSortedAndWritesThatOrder() {
    Write(noiseFile(), "x;. ");
    CNoiseCharsDlg dialog;
    // The list box's order ignores case; "(space)" sorts by its parenthesis.
    QCOMPARE(dialog.entries(), (QStringList{"(space)", ".", ";", "x"}));
    dialog.accept();
    QCOMPARE(Read(noiseFile()), std::string(" .;x"));
  }

  void noiseEditKeepsOneCharacter() {
    CNoiseCharsDlg dialog;
    type(dialog, "ab");
    QCOMPARE(Child<QLineEdit>(&dialog, "charEdit")->text(), QString("a"));
    QVERIFY(Child<QPushButton>(&dialog, "addButton")->isEnabled());
  }

  void noiseAddRules_data() {
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("blank shows as (space)") << "" << " " << "" << QStringList{"(space)"};
    QTest::newRow("slash is invalid") << "" << "/" << "Invalid caracter!" << QStringList{};
    QTest::newRow("quote is invalid") << "" << "'" << "Invalid caracter!" << QStringList{};
    QTest::newRow("outside ASCII is invalid") << "" << "\u00e9" << "Invalid caracter!"
                                              << QStringList{};
    QTest::newRow("a while A is listed") << "A" << "a"
                                         << "The character is already in the list!"
                                         << QStringList{"A"};
    QTest::newRow("parenthesis while (space) is listed")
        << " " << "(" << "The character is already in the list!" << QStringList{"(space)"};
    QTest::newRow("new character is inserted in order") << "ac" << "B" << ""
                                                        << QStringList{"a", "B", "c"};
  }
  void noiseAddRules() {
    QFETCH(QString, existing);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QStringList, entries);
    Write(noiseFile(), existing.toStdString());
    CNoiseCharsDlg dialog;
    add(dialog, typed);
    QCOMPARE(MessageBox::lastText(), message);
    QCOMPARE(dialog.entries(), entries);
    QCOMPARE(Child<QLineEdit>(&dialog, "charEdit")->text(), QString());
    QVERIFY(!Child<QPushButton>(&dialog, "addButton")->isEnabled());
  }

  void noiseBlankIsStoredAsASpaceByte() {
    Write(noiseFile(), "");
    CNoiseCharsDlg dialog;
    add(dialog, " ");
    add(dialog, "#");
    // "#" (0x23) sorts before "(space)", whose first character is "(" (0x28).
    QCOMPARE(dialog.entries(), (QStringList{"#", "(space)"}));
    dialog.accept();
    QCOMPARE(Read(noiseFile()), std::string("# "));
    QCOMPARE(LoadNoiseChars(), std::string("# "));
  }

  void noiseAddWithEmptyEditDisablesAdd() {
    Write(noiseFile(), "");
    CNoiseCharsDlg dialog;
    type(dialog, "x");
    Child<QLineEdit>(&dialog, "charEdit")->clear();
    QVERIFY(Child<QPushButton>(&dialog, "addButton")->isEnabled());
    Child<QPushButton>(&dialog, "addButton")->click();
    QVERIFY(!Child<QPushButton>(&dialog, "addButton")->isEnabled());
    QVERIFY(dialog.entries().isEmpty());
    QVERIFY(MessageBox::shown().isEmpty());
  }

  void noiseRemoveNeedsASelection() {
    Write(noiseFile(), "ab");
    CNoiseCharsDlg dialog;
    auto* list = Child<QListWidget>(&dialog, "charList");
    auto* remove = Child<QPushButton>(&dialog, "removeButton");
    remove->click();
    QCOMPARE(dialog.entries().size(), 2);
    list->setCurrentRow(1);
    QVERIFY(remove->isEnabled());
    remove->click();
    QCOMPARE(dialog.entries(), QStringList{"a"});
    QVERIFY(!remove->isEnabled());
  }

  void noiseCancelLeavesTheFile() {
    Write(noiseFile(), "ab");
    {
      CNoiseCharsDlg dialog;
      add(dialog, "c");
      dialog.reject();
    }
    QCOMPARE(Read(noiseFile()), std::string("ab"));
  }

  void noiseBytesOfOtherToolsSurviveARoundTrip() {
    std::string bytes = "z";
    bytes += static_cast<char>(0xa7);
    Write(noiseFile(), bytes + std::string(250, 'q'));
    CNoiseCharsDlg dialog;
    // At most the first 200 bytes are read.
    QCOMPARE(dialog.entries().size(), 200);
    dialog.accept();
    const std::string written = Read(noiseFile());
    QCOMPARE(written.size(), size_t{200});
    QVERIFY(written.find(static_cast<char>(0xa7)) != std::string::npos);
  }

  void noiseSwallowsEnterAndEscape() {
    CNoiseCharsDlg dialog;
    dialog.show();
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Enter);
    QCOMPARE(rejected.count(), 0);
    QVERIFY(dialog.isVisible());
  }

  // ---- Properties ----

  void propertiesShowTheFile() {
    Write(m_dir->File("shape.hpp"), std::string(1234, 's'));
    CPropertiesDlg dialog(QString::fromStdString(m_dir->File("shape.hpp")));
    QCOMPARE(dialog.windowTitle(), QString("shape.hpp Properties"));
    QCOMPARE(dialog.field("Type"), QString("C++ header file"));
    QCOMPARE(dialog.field("Location"), QString::fromStdString(m_dir->path()));
    QVERIFY(dialog.field("Size").contains("1,234") || dialog.field("Size").contains("1234"));
    QCOMPARE(dialog.field("Permissions"), QString("readable, writable"));
    CPropertiesDlg missing(QString::fromStdString(m_dir->File("gone.java")));
    QCOMPARE(missing.field("Type"), QString("Java source file"));
    QCOMPARE(missing.field("Size"), QString("The file does not exist."));
  }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
