// The listing and documentation option pages: "Source code layout",
// "Fonts" with its "Change font" dialog, and "Documentation layout":
// defaults, round trips, range refusals, enabled states, and that a value
// confirmed on a page changes the next build.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "build_commands.h"
#include "change_font_dlg.h"
#include "doc_opt.h"
#include "doc_options_code.h"
#include "font_sample.h"
#include "gui_test_support.h"
#include "message_box.h"
#include "prop_sheet.h"
#include "registry.h"
#include "settings_table.h"
#include "source_opt.h"
#include "spin_button.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::Child;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::Read;
using folios::gui::test::WhenModal;
using folios::gui::test::Write;

namespace {

bool Stored(const char* name, SettingKey key = SettingKey::kMain) {
  CRegistry registry;
  return registry.QueryString(kLocalMachine, SettingKeyPath(key), name).has_value();
}

bool Enabled(QWidget* page, const char* name) { return Child<QWidget>(page, name)->isEnabled(); }

void SetText(QWidget* page, const char* name, const QString& text) {
  auto* edit = Child<QLineEdit>(page, name);
  edit->clear();
  QTest::keyClicks(edit, text);
}

// The "Preferences" sheet, shown, on the page titled `title`.
std::unique_ptr<CPropSheet> SheetOn(const QString& title) {
  auto sheet = std::make_unique<CPropSheet>();
  sheet->setCurrentPage(static_cast<int>(sheet->pageTitles().indexOf(title)));
  sheet->show();
  return sheet;
}

}  // namespace

class TestOptionPages : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiTestEnvironment> m_env;
  std::unique_ptr<folios::test::TempDir> m_dir;

  std::string file(const char* name) const { return m_dir->File(name); }

 private slots:
  void init() {
    m_env = std::make_unique<GuiTestEnvironment>();
    m_dir = std::make_unique<folios::test::TempDir>();
  }
  void cleanup() {
    m_dir.reset();
    m_env.reset();
  }

  // ---- Source code layout ----

  void sourcePageShowsTheDefaults() {
    CSourceOpt page;
    page.ensureLoaded();
    QVERIFY(Child<QRadioButton>(&page, "codeOnlyRadio")->isChecked());
    for (const char* on : {"lineSepCheck", "lineBreaksCheck", "removeNoiseCheck",
                           "noLineNumbersCheck", "byModuleRadio", "colSeparatorCheck",
                           "useAdvancedCheck"}) {
      QVERIFY2(Child<QAbstractButton>(&page, on)->isChecked(), on);
    }
    QVERIFY(Child<QRadioButton>(&page, "rtfDocumentRadio")->isChecked());
    for (const char* off : {"continuousRadio", "pageBreakCheck", "webPageRadio"}) {
      QVERIFY2(!Child<QAbstractButton>(&page, off)->isChecked(), off);
    }
    QCOMPARE(Child<QLineEdit>(&page, "startAtEdit")->text(), QString("1"));
    QCOMPARE(Child<QLineEdit>(&page, "incrementByEdit")->text(), QString("1"));
    QCOMPARE(Child<QLineEdit>(&page, "columnNumberEdit")->text(), QString("1"));
    // No line numbers: their mode and numbers are greyed out.
    for (const char* name : {"byModuleRadio", "continuousRadio", "startAtEdit", "incrementByEdit"}) {
      QVERIFY2(!Enabled(&page, name), name);
    }
    QVERIFY(Enabled(&page, "columnNumberEdit"));
  }

  void noneGreysOutTheNumberingAndKeepsItsValues() {
    Settings().SetText("m_startat", "40");
    CSourceOpt page;
    page.ensureLoaded();
    Child<QCheckBox>(&page, "noLineNumbersCheck")->click();
    for (const char* name : {"byModuleRadio", "continuousRadio", "startAtEdit", "incrementByEdit"}) {
      QVERIFY2(Enabled(&page, name), name);
    }
    Child<QCheckBox>(&page, "noLineNumbersCheck")->click();
    QVERIFY(!Enabled(&page, "startAtEdit"));
    QVERIFY(page.SaveSettings());
    QCOMPARE(Settings().Text("m_startat"), std::string("40"));
    QCOMPARE(Settings().Int("m_uselinenumbers"), 1);
  }

  void sourcePageRoundTripsEveryValue_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("flags");  // bit per check box, in table order
    QTest::addColumn<int>("module");
    QTest::addColumn<int>("continuous");
    QTest::addColumn<QString>("startAt");
    QTest::addColumn<QString>("incrementBy");
    QTest::addColumn<QString>("columns");
    QTest::newRow("form only, all off") << 0 << 0 << 0 << 1 << "7" << "3" << "2";
    QTest::newRow("both, all on") << 2 << 0x7f << 1 << 0 << "99999" << "99999" << "1";
    QTest::newRow("both modes stored on") << 1 << 0x2a << 1 << 1 << "12" << "1" << "3";
    QTest::newRow("neither mode") << 1 << 0x55 << 0 << 0 << "1" << "2" << "2";
  }
  void sourcePageRoundTripsEveryValue() {
    QFETCH(int, format);
    QFETCH(int, flags);
    QFETCH(int, module);
    QFETCH(int, continuous);
    QFETCH(QString, startAt);
    QFETCH(QString, incrementBy);
    QFETCH(QString, columns);
    const char* checks[] = {"m_linesep", "m_linebreaks", "m_remove_noise_chars",
                            "m_uselinenumbers", "m_colseparator", "m_pagebreak",
                            "m_use_advanced_options"};
    Settings s;
    s.SetInt("m_format", format);
    for (int i = 0; i < 7; ++i) s.SetInt(checks[i], (flags >> i) & 1);
    s.SetInt("m_linecountermode", module);
    s.SetInt("m_linecountermode2", continuous);
    s.SetText("m_startat", startAt.toStdString());
    s.SetText("m_incrementby", incrementBy.toStdString());
    s.SetText("m_colnumber", columns.toStdString());
    {
      CSourceOpt page;
      page.ensureLoaded();
      const char* formats[] = {"formDefinitionRadio", "codeOnlyRadio", "bothRadio"};
      QVERIFY(Child<QRadioButton>(&page, formats[format])->isChecked());
      QCOMPARE(Child<QRadioButton>(&page, "byModuleRadio")->isChecked(), module == 1);
      QCOMPARE(Child<QRadioButton>(&page, "continuousRadio")->isChecked(), continuous == 1);
      QCOMPARE(Child<QLineEdit>(&page, "columnNumberEdit")->text(), columns);
      ResetAllSettings();
      QVERIFY(page.ValidateSettings());
      QVERIFY(page.SaveSettings());
    }
    QCOMPARE(s.Int("m_format"), format);
    for (int i = 0; i < 7; ++i) QCOMPARE(s.Int(checks[i]), (flags >> i) & 1);
    QCOMPARE(s.Int("m_linecountermode"), module);
    QCOMPARE(s.Int("m_linecountermode2"), continuous);
    QCOMPARE(QString::fromStdString(s.Text("m_startat")), startAt);
    QCOMPARE(QString::fromStdString(s.Text("m_incrementby")), incrementBy);
    QCOMPARE(QString::fromStdString(s.Text("m_colnumber")), columns);
  }

  void outputTypeRoundTrips() {
    Settings().SetInt("m_output_type", 1);
    {
      CSourceOpt page;
      page.ensureLoaded();
      QVERIFY(Child<QRadioButton>(&page, "webPageRadio")->isChecked());
      QSignalSpy modified(&page, &CPropertyPage::modified);
      Child<QRadioButton>(&page, "rtfDocumentRadio")->click();
      QCOMPARE(modified.count(), 1);
      QVERIFY(page.SaveSettings());
    }
    QCOMPARE(Settings().Int("m_output_type"), 0);
    // A stored type of no button is kept as it is.
    Settings().SetInt("m_output_type", 4);
    CSourceOpt page;
    page.ensureLoaded();
    QVERIFY(!Child<QRadioButton>(&page, "rtfDocumentRadio")->isChecked());
    QVERIFY(!Child<QRadioButton>(&page, "webPageRadio")->isChecked());
    QVERIFY(page.SaveSettings());
    QCOMPARE(Settings().Int("m_output_type"), 4);
  }

  void aFormatChoiceOfNoButtonIsKept() {
    Settings().SetInt("m_format", 7);
    CSourceOpt page;
    page.ensureLoaded();
    for (const char* name : {"formDefinitionRadio", "codeOnlyRadio", "bothRadio"}) {
      QVERIFY(!Child<QRadioButton>(&page, name)->isChecked());
    }
    QVERIFY(page.SaveSettings());
    QCOMPARE(Settings().Int("m_format"), 7);
  }

  void lineNumbersOutOfRangeAreRefusedAndNothingIsWritten_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString startAt = "The \"Start at\" value must be > 0 and < 100000!";
    const QString incrementBy = "The \"Increment by\" value must be > 0 and < 100000!";
    QTest::newRow("start 0") << "startAtEdit" << "0" << startAt;
    QTest::newRow("start 100000") << "startAtEdit" << "100000" << startAt;
    QTest::newRow("start empty") << "startAtEdit" << "" << startAt;
    QTest::newRow("start letters") << "startAtEdit" << "abc" << startAt;
    QTest::newRow("start negative") << "startAtEdit" << "-5" << startAt;
    QTest::newRow("start overflowing") << "startAtEdit" << "99999999999999" << startAt;
    QTest::newRow("increment 0") << "incrementByEdit" << "0" << incrementBy;
    QTest::newRow("increment 100000") << "incrementByEdit" << "100000" << incrementBy;
    QTest::newRow("increment blank") << "incrementByEdit" << " " << incrementBy;
  }
  void lineNumbersOutOfRangeAreRefusedAndNothingIsWritten() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    auto sheet = SheetOn("Source code layout");
    Child<QCheckBox>(sheet.get(), "noLineNumbersCheck")->click();
    Child<QCheckBox>(sheet.get(), "pageBreakCheck")->click();
    Child<QRadioButton>(sheet.get(), "landscapeRadio")->click();  // on General
    SetText(sheet.get(), field.toLatin1().constData(), text);
    sheet->setCurrentPage(0);
    sheet->accept();
    QCOMPARE(MessageBox::shown(), QStringList{"Lumentra Folios: " + message});
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->findChild<QTabWidget*>("pages")->currentIndex(), 1);
    // Not even the other pages' values were written.
    for (const char* name : {"m_pagebreak", "m_uselinenumbers", "m_startat", "m_b_orientation"}) {
      QVERIFY2(!Stored(name), name);
    }
    MessageBox::clearShown();
    sheet->applyButton()->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(!Stored("m_pagebreak"));
  }

  void lineNumberLimitsAreAccepted_data() {
    QTest::addColumn<QString>("startAt");
    QTest::addColumn<QString>("incrementBy");
    QTest::newRow("1 and 99999") << "1" << "99999";
    QTest::newRow("99999 and 1") << "99999" << "1";
    QTest::newRow("digits then letters") << "12abc" << " 3";
  }
  void lineNumberLimitsAreAccepted() {
    QFETCH(QString, startAt);
    QFETCH(QString, incrementBy);
    auto sheet = SheetOn("Source code layout");
    Child<QCheckBox>(sheet.get(), "noLineNumbersCheck")->click();
    SetText(sheet.get(), "startAtEdit", startAt);
    SetText(sheet.get(), "incrementByEdit", incrementBy);
    sheet->accept();
    QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().join('|')));
    QCOMPARE(sheet->result(), int(QDialog::Accepted));
    // Stored as typed.
    QCOMPARE(QString::fromStdString(Settings().Text("m_startat")), startAt);
    QCOMPARE(QString::fromStdString(Settings().Text("m_incrementby")), incrementBy);
  }

  void columnSpinStaysWithinOneAndTwoButTypingIsKept() {
    CSourceOpt page;
    page.ensureLoaded();
    auto* spin = Child<CSpinButton>(&page, "columnNumberSpin");
    auto* edit = Child<QLineEdit>(&page, "columnNumberEdit");
    QSignalSpy modified(&page, &CPropertyPage::modified);
    spin->stepUp();
    QCOMPARE(edit->text(), QString("2"));
    spin->stepUp();
    QCOMPARE(edit->text(), QString("2"));
    spin->stepDown();
    spin->stepDown();
    QCOMPARE(edit->text(), QString("1"));
    QCOMPARE(modified.count(), 4);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(edit->text(), QString("2"));
    SetText(&page, "columnNumberEdit", "3");
    QVERIFY(page.SaveSettings());
    QCOMPARE(Settings().Text("m_colnumber"), std::string("3"));
    // The arrows bring a typed number back into the range.
    spin->stepDown();
    QCOMPARE(edit->text(), QString("2"));
  }

  void sourcePageButtonsOpenTheirDialogs() {
    CPropSheet sheet;
    sheet.setCurrentPage(1);
    QString noise;
    WhenModal("folios::gui::CNoiseCharsDlg", [&](QDialog* d) { noise = d->windowTitle(); });
    Child<QPushButton>(&sheet, "defineNoiseButton")->click();
    QCOMPARE(noise, QString("Define noise chars"));
    QString format;
    QStringList pages;
    WhenModal("folios::gui::CAdvanced_C_Format_sheet", [&](QDialog* d) {
      format = d->windowTitle();
      pages = static_cast<CPropertySheet*>(d)->pageTitles();
    });
    Child<QPushButton>(&sheet, "advancedButton")->click();
    QCOMPARE(format, QString("Format options"));
    QCOMPARE(pages, QStringList{"Advanced C(++)/Java format options"});
  }

  void sourcePageCancelWritesNothing() {
    auto sheet = SheetOn("Source code layout");
    Child<QCheckBox>(sheet.get(), "pageBreakCheck")->click();
    SetText(sheet.get(), "startAtEdit", "5");
    QVERIFY(sheet->applyButton()->isEnabled());
    sheet->reject();
    QVERIFY(!Stored("m_pagebreak"));
    QVERIFY(!Stored("m_startat"));
  }

  void lineNumbersChosenOnThePageAppearInTheNextListing() {
    Settings().SetInt("m_use_advanced_options", 0);
    Write(file("n.c"), "int a;\nint b;\n");
    auto sheet = SheetOn("Source code layout");
    Child<QCheckBox>(sheet.get(), "noLineNumbersCheck")->click();
    SetText(sheet.get(), "startAtEdit", "100");
    SetText(sheet.get(), "incrementByEdit", "5");
    sheet->applyButton()->click();
    sheet->reject();
    const QString output = QString::fromStdString(file("n.rtf"));
    BuildOutcome outcome = RunListingBuild({file("n.c")}, output, nullptr);
    QVERIFY(outcome.failures.isEmpty());
    const std::string rtf = Read(file("n.rtf"));
    QVERIFY2(rtf.find("{100 }") != std::string::npos, rtf.c_str());
    QVERIFY2(rtf.find("{105 }") != std::string::npos, rtf.c_str());
  }

  // ---- Fonts and Change font ----

  void fontsPageShowsEachSectionInItsStyle() {
    CPropDlgDoc sheet;
    QCOMPARE(sheet.windowTitle(), QString("Document options"));
    QCOMPARE(sheet.pageTitles(), QStringList{"Fonts"});
    auto* page = static_cast<CDocOptionsCode*>(sheet.page(0));
    QVERIFY(page->loaded());
    const struct {
      CDocOptionsCode::Section section;
      const char* text;
      int pixels;
      bool bold;
      QColor color;
    } expected[] = {
        {CDocOptionsCode::kCode, "Source code", 20, false, QColor(0, 0, 0)},
        {CDocOptionsCode::kComment, "Comment", 16, false, QColor(0, 128, 0)},
        {CDocOptionsCode::kHeader, "Header", 32, true, QColor(0, 0, 0)},
    };
    for (const auto& e : expected) {
      CFontSample* preview = page->preview(e.section);
      QCOMPARE(preview->text(), QString(e.text));
      QCOMPARE(preview->sampleFont().pixelSize(), e.pixels);
      QCOMPARE(preview->sampleFont().bold(), e.bold);
      QCOMPARE(page->style(e.section).forecolor == 11, e.section == CDocOptionsCode::kComment);
      QCOMPARE(page->style(e.section).back_color, 8);
      const QImage image = preview->grab().toImage();
      QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));
      bool textColorSeen = false;
      for (int y = 0; y < image.height() && !textColorSeen; ++y) {
        for (int x = 0; x < image.width() && !textColorSeen; ++x) {
          textColorSeen = image.pixelColor(x, y) == e.color;
        }
      }
      QVERIFY2(textColorSeen, e.text);
    }
  }

  void changeFontShowsTheSectionAndOkRepaintsIt() {
    CPropDlgDoc sheet;
    auto* page = static_cast<CDocOptionsCode*>(sheet.page(0));
    CFontSample* preview = page->preview(CDocOptionsCode::kComment);
    const int draws = preview->drawCount();
    QStringList shown;
    WhenModal("folios::gui::CChangeFontDlg", [&](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("Change font"));
      auto* size = Child<QComboBox>(d, "sizeCombo");
      auto* fore = Child<QComboBox>(d, "foreColorCombo");
      auto* back = Child<QComboBox>(d, "backColorCombo");
      shown << size->currentText() << fore->currentText() << back->currentText();
      QCOMPARE(size->count(), 9);
      QCOMPARE(size->itemText(0), QString("8"));
      QCOMPARE(size->itemText(8), QString("16"));
      QCOMPARE(fore->count(), 14);
      QCOMPARE(fore->itemText(2), QString::fromUtf8("türkis"));
      Child<QCheckBox>(d, "boldCheck")->click();
      Child<QCheckBox>(d, "underlineCheck")->click();
      size->setCurrentText("14");
      fore->setCurrentText("red");
      back->setCurrentText("yellow");
      Child<QPushButton>(d, "okButton")->click();
    });
    Child<QPushButton>(&sheet, "commentChangeButton")->click();
    QCOMPARE(shown, (QStringList{"8", "dark green", "white"}));
    const TextStyle& style = page->style(CDocOptionsCode::kComment);
    QCOMPARE(style.fontsize, 14);
    QVERIFY(style.bold && style.underline && !style.italic);
    QCOMPARE(style.forecolor, 6);
    QCOMPARE(style.back_color, 7);
    QVERIFY(preview->drawCount() > draws);
    QCOMPARE(preview->sampleFont().pixelSize(), 28);
    QVERIFY(preview->sampleFont().underline());
    QVERIFY(sheet.applyButton()->isEnabled());
    QVERIFY(!Stored("m_comment_fontsize", SettingKey::kDoc));  // not before OK

    sheet.accept();
    Settings doc(SettingKey::kDoc);
    QCOMPARE(doc.Int("m_comment_fontsize"), 14);
    QCOMPARE(doc.Int("m_comment_bold"), 1);
    QCOMPARE(doc.Int("m_comment_underline"), 1);
    QCOMPARE(doc.Int("m_comment_italic"), 0);
    QCOMPARE(doc.Int("m_comment_forecolor"), 6);
    QCOMPARE(doc.Int("m_comment_back_color"), 7);
    // Every value of the page is written, the unchanged ones too.
    for (const char* name : {"m_code_fontsize", "m_code_forecolor", "m_header_bold",
                             "m_header_back_color", "m_header_underline"}) {
      QVERIFY2(Stored(name, SettingKey::kDoc), name);
    }
    QCOMPARE(doc.Int("m_header_bold"), 1);
    QCOMPARE(doc.Int("m_code_fontsize"), 10);
  }

  void changeFontCancelChangesNothing() {
    CPropDlgDoc sheet;
    auto* page = static_cast<CDocOptionsCode*>(sheet.page(0));
    WhenModal("folios::gui::CChangeFontDlg", [](QDialog* d) {
      Child<QCheckBox>(d, "italicCheck")->click();
      Child<QPushButton>(d, "cancelButton")->click();
    });
    Child<QPushButton>(&sheet, "headerChangeButton")->click();
    QVERIFY(!page->style(CDocOptionsCode::kHeader).italic);
    QVERIFY(!sheet.applyButton()->isEnabled());
    sheet.reject();
    QVERIFY(!Stored("m_header_italic", SettingKey::kDoc));
  }

  void changeFontKeepsValuesItsListsDoNotHold() {
    // Sizes and colours put in the store by other means.
    TextStyle odd;
    odd.fontsize = 20;
    odd.forecolor = 15;
    odd.back_color = 0;
    CChangeFontDlg dialog(odd);
    QCOMPARE(Child<QComboBox>(&dialog, "sizeCombo")->currentIndex(), -1);
    QCOMPARE(Child<QComboBox>(&dialog, "foreColorCombo")->currentIndex(), -1);
    TextStyle chosen = dialog.style();
    QCOMPARE(chosen.fontsize, 20);
    QCOMPARE(chosen.forecolor, 15);
    QCOMPARE(chosen.back_color, 0);
    Child<QComboBox>(&dialog, "foreColorCombo")->setCurrentText("blue");
    QCOMPARE(dialog.style().forecolor, 2);
  }

  void hugeStoredSizesDrawWithoutTrouble() {
    Settings(SettingKey::kDoc).SetInt("m_header_fontsize", 2147483647);
    Settings(SettingKey::kDoc).SetInt("m_code_fontsize", -40);
    CPropDlgDoc sheet;
    auto* page = static_cast<CDocOptionsCode*>(sheet.page(0));
    QCOMPARE(page->preview(CDocOptionsCode::kHeader)->sampleFont().pixelSize(),
             2 * CFontSample::kLargestSampleSize);
    QCOMPARE(page->preview(CDocOptionsCode::kCode)->sampleFont().pixelSize(), 2);
    sheet.accept();
    // Shown held, stored as they were.
    QCOMPARE(Settings(SettingKey::kDoc).Int("m_header_fontsize"), 2147483647);
  }

  void codeSizeChosenOnTheFontsPageSetsTheNextListing() {
    Settings().SetInt("m_use_advanced_options", 0);
    Write(file("f.c"), "int a;\n");
    const QString output = QString::fromStdString(file("f.rtf"));
    QVERIFY(RunListingBuild({file("f.c")}, output, nullptr).failures.isEmpty());
    QVERIFY(Read(file("f.rtf")).find("\\fs20") != std::string::npos);
    QVERIFY(Read(file("f.rtf")).find("\\fs28") == std::string::npos);

    CPropDlgDoc sheet;
    WhenModal("folios::gui::CChangeFontDlg", [](QDialog* d) {
      Child<QComboBox>(d, "sizeCombo")->setCurrentText("14");
      Child<QPushButton>(d, "okButton")->click();
    });
    Child<QPushButton>(&sheet, "codeChangeButton")->click();
    sheet.accept();
    QVERIFY(RunListingBuild({file("f.c")}, output, nullptr).failures.isEmpty());
    const std::string rtf = Read(file("f.rtf"));
    QVERIFY2(rtf.find("\\fs28") != std::string::npos, rtf.c_str());
  }

  // ---- Documentation layout ----

  void documentationPageShowsTheDefaults() {
    CDocOpt page;
    page.ensureLoaded();
    QVERIFY(Child<QRadioButton>(&page, "rtfRadio")->isChecked());
    QVERIFY(Child<QCheckBox>(&page, "sortTopicsCheck")->isChecked());
    QVERIFY(!Child<QCheckBox>(&page, "topicLogCheck")->isChecked());
    QVERIFY(!Child<QCheckBox>(&page, "useExpressionCheck")->isChecked());
    QCOMPARE(Child<QLineEdit>(&page, "expressionEdit")->text(), QString());
    QVERIFY(!Enabled(&page, "expressionEdit"));
  }

  void expressionFieldFollowsItsBoxAtOnce() {
    CDocOpt page;
    page.ensureLoaded();
    QSignalSpy modified(&page, &CPropertyPage::modified);
    Child<QCheckBox>(&page, "useExpressionCheck")->click();
    QVERIFY(Enabled(&page, "expressionEdit"));
    QCOMPARE(modified.count(), 1);
    Child<QCheckBox>(&page, "useExpressionCheck")->click();
    QVERIFY(!Enabled(&page, "expressionEdit"));
  }

  void documentationPageRoundTrips_data() {
    QTest::addColumn<int>("doctype");
    QTest::addColumn<int>("sort");
    QTest::addColumn<int>("log");
    QTest::addColumn<int>("use");
    QTest::addColumn<QString>("expression");
    QTest::newRow("help, unsorted, log, expression") << 1 << 0 << 1 << 1 << "@func && !@deprecated";
    QTest::newRow("expression kept while unused") << 0 << 1 << 0 << 0 << "@class";
    QTest::newRow("web page") << 2 << 1 << 0 << 0 << "";
  }
  void documentationPageRoundTrips() {
    QFETCH(int, doctype);
    QFETCH(int, sort);
    QFETCH(int, log);
    QFETCH(int, use);
    QFETCH(QString, expression);
    Settings s;
    s.SetInt("m_doctype", doctype);
    s.SetInt("m_sort_topics", sort);
    s.SetInt("m_create_topic_log", log);
    s.SetInt("m_use_extraction_expression", use);
    s.SetText("m_extraction_expression", expression.toStdString());
    {
      CDocOpt page;
      page.ensureLoaded();
      QCOMPARE(Child<QRadioButton>(&page, "hlpRadio")->isChecked(), doctype == 1);
      QCOMPARE(Child<QRadioButton>(&page, "htmlRadio")->isChecked(), doctype == 2);
      QCOMPARE(Enabled(&page, "expressionEdit"), use == 1);
      QCOMPARE(Child<QLineEdit>(&page, "expressionEdit")->text(), expression);
      ResetAllSettings();
      QVERIFY(page.SaveSettings());
    }
    QCOMPARE(s.Int("m_doctype"), doctype);
    QCOMPARE(s.Int("m_sort_topics"), sort);
    QCOMPARE(s.Int("m_create_topic_log"), log);
    QCOMPARE(s.Int("m_use_extraction_expression"), use);
    QCOMPARE(QString::fromStdString(s.Text("m_extraction_expression")), expression);
  }

  void enterAndEscapeInTheExpressionDoNotCloseTheSheet() {
    auto sheet = SheetOn("Documentation layout");
    Child<QCheckBox>(sheet.get(), "useExpressionCheck")->click();
    auto* edit = Child<QLineEdit>(sheet.get(), "expressionEdit");
    edit->setFocus();
    QTest::keyClicks(edit, "@func");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(Child<QCheckBox>(sheet.get(), "sortTopicsCheck"), Qt::Key_Escape);
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->result(), 0);
    QVERIFY(!Stored("m_extraction_expression"));
    // Enter on another page still confirms the sheet.
    sheet->setCurrentPage(0);
    QTest::keyClick(Child<QCheckBox>(sheet.get(), "openFileCheck"), Qt::Key_Return);
    QVERIFY(!sheet->isVisible());
    QCOMPARE(Settings().Text("m_extraction_expression"), std::string("@func"));
  }

  void topicLogChosenOnThePageIsWrittenByTheNextBuild() {
    Write(file("api.c"), "int api(void);\n");
    const QString output = QString::fromStdString(file("out/api.rtf"));
    Write(file("out/keep"), "");
    RunDocumentationBuild({file("api.c")}, output, nullptr);
    QVERIFY(folios::test::FileExists(file("out/api.rtf")));
    QVERIFY(!folios::test::FileExists(file("out/Topics.rtf")));

    auto sheet = SheetOn("Documentation layout");
    Child<QCheckBox>(sheet.get(), "topicLogCheck")->click();
    sheet->accept();
    RunDocumentationBuild({file("api.c")}, output, nullptr);
    QVERIFY(folios::test::FileExists(file("out/Topics.rtf")));
  }
};

QTEST_MAIN(TestOptionPages)
#include "test_option_pages.moc"
