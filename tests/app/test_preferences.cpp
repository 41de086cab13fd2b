// The Preferences sheet and its "General" and "Keywordfiles" pages: loading,
// saving, OK/Apply/Cancel, browsing and resetting.
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QSignalSpy>
#include <QTest>

#include "file_dialog.h"
#include "gui_test_support.h"
#include "keywordfiles_page.h"
#include "message_box.h"
#include "opt_page1.h"
#include "prop_sheet.h"
#include "registry.h"
#include "settings_table.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::Child;
using folios::gui::test::GuiTestEnvironment;

namespace {

// A page that records its loads and saves and can refuse, for the sheet's
// own rules.
class CountingPage : public CPropertyPage {
 public:
  explicit CountingPage(const QString& title) : CPropertyPage(title) {}
  void LoadSettings() override { ++loads; }
  bool ValidateSettings() override {
    ++validations;
    return valid;
  }
  bool SaveSettings() override {
    ++saves;
    return saved;
  }
  int loads = 0;
  int validations = 0;
  int saves = 0;
  bool valid = true;
  bool saved = true;
};

class CountingSheet : public CPropertySheet {
 public:
  CountingSheet() : CPropertySheet("Counting", nullptr) {
    for (CountingPage* p : {&first, &second, &third}) addPage(p);
  }
  CountingPage first{"First"};
  CountingPage second{"Second"};
  CountingPage third{"Third"};
};

}  // namespace

class TestPreferences : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiTestEnvironment> m_env;

 private slots:
  void init() { m_env = std::make_unique<GuiTestEnvironment>(); }
  void cleanup() { m_env.reset(); }

  void firstStartShowsTheDefaults() {
    COptPage1 page;
    page.ensureLoaded();
    QVERIFY(Child<QCheckBox>(&page, "openFileCheck")->isChecked());
    QVERIFY(!Child<QCheckBox>(&page, "showFileDlgCheck")->isChecked());
    QVERIFY(Child<QRadioButton>(&page, "filterCpp")->isChecked());
    QCOMPARE(Child<QLineEdit>(&page, "fileLocationEdit")->text(), QString());
    QVERIFY(Child<QLineEdit>(&page, "fileLocationEdit")->isReadOnly());
    QVERIFY(Child<QRadioButton>(&page, "portraitRadio")->isChecked());
    QCOMPARE(page.orientationIcon(), COptPage1::kPortraitIcon);
  }

  void generalPageRoundTripsEverySetting_data() {
    QTest::addColumn<int>("openfile");
    QTest::addColumn<int>("showfiledlg");
    QTest::addColumn<int>("filefilter");
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("orientation");
    QTest::newRow("all off, VB, landscape") << 0 << 0 << 1 << "/home/ada/src" << 1;
    QTest::newRow("all on, Java, portrait") << 1 << 1 << 2 << "/tmp/x y" << 0;
    QTest::newRow("C++, landscape") << 1 << 0 << 0 << "" << 1;
  }
  void generalPageRoundTripsEverySetting() {
    QFETCH(int, openfile);
    QFETCH(int, showfiledlg);
    QFETCH(int, filefilter);
    QFETCH(QString, location);
    QFETCH(int, orientation);
    Settings s;
    s.SetInt("m_openfile", openfile);
    s.SetInt("m_showfiledlg", showfiledlg);
    s.SetInt("m_filefilter", filefilter);
    s.SetText("m_file_location", location.toStdString());
    s.SetInt("m_b_orientation", orientation);
    {
      COptPage1 page;
      page.ensureLoaded();
      QCOMPARE(Child<QCheckBox>(&page, "openFileCheck")->isChecked(), openfile == 1);
      QCOMPARE(Child<QCheckBox>(&page, "showFileDlgCheck")->isChecked(), showfiledlg == 1);
      const char* filters[] = {"filterCpp", "filterVb", "filterJava"};
      QVERIFY(Child<QRadioButton>(&page, filters[filefilter])->isChecked());
      QCOMPARE(Child<QLineEdit>(&page, "fileLocationEdit")->text(), location);
      QCOMPARE(page.orientationIcon(),
               orientation ? COptPage1::kLandscapeIcon : COptPage1::kPortraitIcon);
      // Clear the store, then saving the page must write every value back.
      ResetAllSettings();
      QVERIFY(page.SaveSettings());
    }
    QCOMPARE(s.Int("m_openfile"), openfile);
    QCOMPARE(s.Int("m_showfiledlg"), showfiledlg);
    QCOMPARE(s.Int("m_filefilter"), filefilter);
    QCOMPARE(QString::fromStdString(s.Text("m_file_location")), location);
    QCOMPARE(s.Int("m_b_orientation"), orientation);
  }

  void orientationPictureFollowsTheRadios() {
    COptPage1 page;
    page.ensureLoaded();
    Child<QRadioButton>(&page, "landscapeRadio")->click();
    QCOMPARE(page.orientationIcon(), COptPage1::kLandscapeIcon);
    Child<QRadioButton>(&page, "portraitRadio")->click();
    QCOMPARE(page.orientationIcon(), COptPage1::kPortraitIcon);
  }

  void browsingTheLocationUsesTheFolderChooser() {
    COptPage1 page;
    page.ensureLoaded();
    FileDialog::setNextFileName("/srv/code");
    Child<QPushButton>(&page, "browseLocationButton")->click();
    QCOMPARE(FileDialog::lastRequest().kind, QString("directory"));
    QCOMPARE(FileDialog::lastRequest().title, QString("Default file location"));
    QCOMPARE(Child<QLineEdit>(&page, "fileLocationEdit")->text(), QString("/srv/code"));
    // Cancel keeps the folder.
    Child<QPushButton>(&page, "browseLocationButton")->click();
    QCOMPARE(Child<QLineEdit>(&page, "fileLocationEdit")->text(), QString("/srv/code"));
  }

  void resetAsksAndOnlyYesResets() {
    Settings s;
    s.SetInt("m_b_orientation", 1);
    s.SetInt("m_openfile", 0);
    Settings(SettingKey::kDoc).SetInt("m_code_fontsize", 14);
    COptPage1 page;
    page.ensureLoaded();

    MessageBox::setNextAnswer(QMessageBox::No);
    Child<QPushButton>(&page, "resetButton")->click();
    QCOMPARE(MessageBox::lastText(),
             QString("Do you want to reset your settings to their original defaults?"));
    QCOMPARE(s.Int("m_b_orientation"), 1);
    QCOMPARE(page.orientationIcon(), COptPage1::kLandscapeIcon);

    MessageBox::setNextAnswer(QMessageBox::Yes);
    Child<QPushButton>(&page, "resetButton")->click();
    QCOMPARE(s.Int("m_b_orientation"), 0);
    QCOMPARE(s.Int("m_openfile"), 1);
    QCOMPARE(Settings(SettingKey::kDoc).Int("m_code_fontsize"), 10);
    // The page shows the defaults again.
    QCOMPARE(page.orientationIcon(), COptPage1::kPortraitIcon);
    QVERIFY(Child<QCheckBox>(&page, "openFileCheck")->isChecked());
  }

  void keywordPageLoadsSavesAndBrowses() {
    Settings s;
    s.SetText("m_cfiles", "/kw/c.lfx");
    s.SetText("m_vbfiles", "/kw/vb.lfx");
    CKeywordfiles page;
    page.ensureLoaded();
    QCOMPARE(Child<QLineEdit>(&page, "cFilesEdit")->text(), QString("/kw/c.lfx"));
    QCOMPARE(Child<QLineEdit>(&page, "vbFilesEdit")->text(), QString("/kw/vb.lfx"));
    // Unset: the shipped file.
    QVERIFY(Child<QLineEdit>(&page, "javaFilesEdit")->text().endsWith("JAVA-Keywords.lfx"));
    QVERIFY(Child<QLineEdit>(&page, "javaFilesEdit")->isReadOnly());

    const struct {
      const char* button;
      const char* edit;
      const char* title;
    } rows[] = {
        {"cFilesBrowse", "cFilesEdit", "Select a file that contains C++ keywords!"},
        {"vbFilesBrowse", "vbFilesEdit", "Select a file that contains Visual Basic keywords!"},
        {"javaFilesBrowse", "javaFilesEdit", "Select a file that contains JAVA keywords!"},
    };
    for (const auto& row : rows) {
      const QString before = Child<QLineEdit>(&page, row.edit)->text();
      Child<QPushButton>(&page, row.button)->click();  // cancelled
      QCOMPARE(FileDialog::lastRequest().title, QString(row.title));
      QCOMPARE(FileDialog::lastRequest().filter, QString("Lumentra Folios keywords (*.lfx)"));
      QCOMPARE(Child<QLineEdit>(&page, row.edit)->text(), before);
      FileDialog::setNextFileName(QString("/new/") + row.edit + ".lfx");
      QSignalSpy modified(&page, &CPropertyPage::modified);
      Child<QPushButton>(&page, row.button)->click();
      QCOMPARE(modified.count(), 1);
    }
    page.SaveSettings();
    QCOMPARE(s.Text("m_cfiles"), std::string("/new/cFilesEdit.lfx"));
    QCOMPARE(s.Text("m_vbfiles"), std::string("/new/vbFilesEdit.lfx"));
    QCOMPARE(s.Text("m_javafiles"), std::string("/new/javaFilesEdit.lfx"));
  }

  void preferencesHasItsFourPagesInOrder() {
    CPropSheet sheet;
    QCOMPARE(sheet.windowTitle(), QString("Preferences"));
    QCOMPARE(sheet.pageTitles(), (QStringList{"General", "Source code layout",
                                              "Documentation layout", "Keywordfiles"}));
    // Only the first page is loaded before it is shown.
    QVERIFY(sheet.page(0)->loaded());
    for (int i = 1; i < sheet.pageCount(); ++i) QVERIFY(!sheet.page(i)->loaded());
  }

  void okAndApplySaveShownPagesAndCancelSavesNothing() {
    {
      CountingSheet sheet;
      CountingPage& second = sheet.second;
      QCOMPARE(second.loads, 0);  // loaded only when first shown
      sheet.setCurrentPage(1);
      QCOMPARE(second.loads, 1);
      sheet.setCurrentPage(0);
      sheet.setCurrentPage(1);
      QCOMPARE(second.loads, 1);
      QVERIFY(!sheet.applyButton()->isEnabled());
      emit second.modified();
      QVERIFY(sheet.applyButton()->isEnabled());
      sheet.applyButton()->click();
      QCOMPARE(second.saves, 1);
      QVERIFY(!sheet.applyButton()->isEnabled());
      sheet.accept();
      QCOMPARE(second.saves, 2);
      QCOMPARE(sheet.first.saves, 2);
      QCOMPARE(sheet.third.saves, 0);  // never shown
      QCOMPARE(sheet.result(), int(QDialog::Accepted));
    }

    // Cancel: a change shown on the General page is not stored.
    CPropSheet sheet;
    Child<QRadioButton>(&sheet, "landscapeRadio")->click();
    Child<QCheckBox>(&sheet, "openFileCheck")->click();
    sheet.reject();
    QCOMPARE(Settings().Int("m_b_orientation"), 0);
    QCOMPARE(Settings().Int("m_openfile"), 1);
    // The Keywordfiles page was never shown, so OK does not write it.
    CPropSheet again;
    Child<QRadioButton>(&again, "landscapeRadio")->click();
    again.accept();
    QCOMPARE(Settings().Int("m_b_orientation"), 1);
    QCOMPARE(SettingsFileHas("m_cfiles"), false);
  }

  void aRefusingPageStopsEveryPageFromSaving() {
    CountingSheet sheet;
    sheet.setCurrentPage(2);
    sheet.setCurrentPage(0);
    sheet.third.valid = false;
    sheet.show();
    sheet.accept();
    QCOMPARE(sheet.first.saves, 0);
    QCOMPARE(sheet.third.saves, 0);
    QVERIFY(sheet.isVisible());
    QCOMPARE(sheet.findChild<QTabWidget*>("pages")->currentIndex(), 2);
    sheet.applyButton()->setEnabled(true);
    sheet.applyButton()->click();
    QCOMPARE(sheet.first.saves, 0);
    QVERIFY(sheet.applyButton()->isEnabled());

    // A page whose values cannot be written keeps the sheet open too.
    sheet.third.valid = true;
    sheet.third.saved = false;
    sheet.setCurrentPage(0);
    sheet.accept();
    QVERIFY(sheet.isVisible());
    QCOMPARE(sheet.findChild<QTabWidget*>("pages")->currentIndex(), 2);
    sheet.third.saved = true;
    sheet.accept();
    QVERIFY(!sheet.isVisible());
    QCOMPARE(sheet.result(), int(QDialog::Accepted));
  }

  void resetThenOkWritesThePagesValuesAgain() {
    Settings().SetInt("m_b_orientation", 1);
    Settings().SetText("m_cfiles", "/kw/mine.lfx");
    CPropSheet sheet;
    sheet.setCurrentPage(3);  // Keywordfiles shown
    MessageBox::setNextAnswer(QMessageBox::Yes);
    Child<QPushButton>(&sheet, "resetButton")->click();
    QCOMPARE(Settings().Int("m_b_orientation"), 0);
    sheet.accept();
    // General wrote its defaults; Keywordfiles still showed the old path.
    QCOMPARE(Settings().Int("m_b_orientation"), 0);
    QCOMPARE(Settings().Text("m_cfiles"), std::string("/kw/mine.lfx"));
  }

 private:
  static bool SettingsFileHas(const char* name) {
    CRegistry registry;
    return registry.QueryString(kLocalMachine, kProductKey, name).has_value();
  }
};

QTEST_MAIN(TestPreferences)
#include "test_preferences.moc"
