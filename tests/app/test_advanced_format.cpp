// The "Advanced C(++)/Java format options" page and its "Format options"
// sheet: the nine-line sample, the fields, spin buttons and enabled states,
// what OK, Apply and Cancel store, and that the stored style reaches the
// next reformat.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "advanced_format.h"
#include "build_commands.h"
#include "named_styles.h"
#include "gui_test_support.h"
#include "registry.h"
#include "settings_table.h"
#include "spin_button.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::Child;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::Read;
using folios::gui::test::Write;

Q_DECLARE_METATYPE(folios::gui::FormatSampleValues)

namespace {

bool Stored(const char* name) {
  CRegistry registry;
  return registry.QueryString(kLocalMachine, kProductKey, name).has_value();
}

void SetText(QWidget* page, const char* name, const QString& text) {
  auto* edit = Child<QLineEdit>(page, name);
  edit->clear();
  QTest::keyClicks(edit, text);
}

// The sample's values with a comment column that clears "    i++;", so the
// comment stays on the code line.
FormatSampleValues Wide() {
  FormatSampleValues v;
  v.comment_with_code = 10;
  return v;
}

}  // namespace

class TestAdvancedFormat : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiTestEnvironment> m_env;
  std::unique_ptr<folios::test::TempDir> m_dir;

 private slots:
  void init() {
    m_env = std::make_unique<GuiTestEnvironment>();
    m_dir = std::make_unique<folios::test::TempDir>();
  }
  void cleanup() {
    m_dir.reset();
    m_env.reset();
  }

  // ---- The sample ----

  void sampleLaysOutTheSettings_data() {
    QTest::addColumn<FormatSampleValues>("values");
    QTest::addColumn<QStringList>("lines");
    FormatSampleValues v = Wide();
    QTest::newRow("style 1, comment at column 10")
        << v
        << QStringList{"if (i == 0) {", "    i++;  //comment with code", "//comment without code",
                       "}", "", "", "void main (void) {", "}", ""};
    v = Wide();
    v.comment_with_code = 11;
    QTest::newRow("a wider gap is named")
        << v
        << QStringList{"if (i == 0) {", "    i++; (11 chars) //comment with code",
                       "//comment without code", "}", "", "", "void main (void) {", "}", ""};
    v = Wide();
    v.comment_without_code = 20;
    QTest::newRow("lone comment at column 20")
        << v
        << QStringList{"if (i == 0) {", "    i++;  //comment with code",
                       QString(20, ' ') + "//comment without code", "}", "", "",
                       "void main (void) {", "}", ""};
    v.comment_without_code = 21;
    QTest::newRow("lone comment beyond 20 is named")
        << v
        << QStringList{"if (i == 0) {", "    i++;  //comment with code",
                       " (21 chars) //comment without code", "}", "", "", "void main (void) {",
                       "}", ""};
    v = Wide();
    v.empty_lines = 5;
    QTest::newRow("five empty lines are counted on line 8")
        << v
        << QStringList{"if (i == 0) {", "    i++;  //comment with code", "//comment without code",
                       "}", "", "", "", "(5 lines)", "void main (void) {"};
    v = Wide();
    v.empty_lines = 3;
    QTest::newRow("three empty lines still fit")
        << v
        << QStringList{"if (i == 0) {", "    i++;  //comment with code", "//comment without code",
                       "}", "", "", "", "void main (void) {", "}"};
    v = Wide();
    v.brace_style = 1;
    QTest::newRow("style 2 as far as nine lines reach")
        << v
        << QStringList{"if (i == 0)", "{", "    i++;  //comment with code",
                       "//comment without code", "}", "", "", "void main (void)", "{"};
    v.empty_lines = 0;
    v.spaces_to_indent = 2;
    v.comment_with_code = 8;
    QTest::newRow("style 2, no empty lines, indent 2")
        << v
        << QStringList{"if (i == 0)", "{", "  i++;  //comment with code", "//comment without code",
                       "}", "void main (void)", "{", "}", ""};
    v = Wide();
    v.indent_with_tabs = true;
    v.spaces_to_indent = 7;  // not used with tabs
    QTest::newRow("tabs indent by four, shown as blanks")
        << v
        << QStringList{"if (i == 0) {", "    i++;  //comment with code", "//comment without code",
                       "}", "", "", "void main (void) {", "}", ""};
  }
  void sampleLaysOutTheSettings() {
    QFETCH(FormatSampleValues, values);
    QFETCH(QStringList, lines);
    QCOMPARE(BuildFormatSample(values), lines);
  }

  void removedCommentsLeaveNoCommentInTheSample() {
    for (int style : {0, 1}) {
      FormatSampleValues v = Wide();
      v.remove_comments = true;
      v.brace_style = style;
      v.comment_with_code = 40;  // no gap is named either
      const QStringList lines = BuildFormatSample(v);
      QCOMPARE(lines.size(), kSampleLineCount);
      QVERIFY2(!lines.join('\n').contains("//"), qPrintable(lines.join('|')));
      QVERIFY(!lines.join('\n').contains("chars)"));
      QVERIFY(lines.contains("    i++;"));
    }
  }

  void hugeNumbersCostNothingAndAreNamed() {
    FormatSampleValues v;
    v.empty_lines = 100000000;
    v.spaces_to_indent = 2000000000;
    v.comment_with_code = 2147483647;
    v.comment_without_code = -2147483647;
    const QStringList lines = BuildFormatSample(v);
    QCOMPARE(lines.size(), kSampleLineCount);
    QCOMPARE(lines.at(7), QString("(100000000 lines)"));
    QVERIFY(lines.join('\n').contains(" (2147483647 chars) //comment with code"));
    for (const QString& line : lines) QVERIFY2(line.size() < 200, qPrintable(line));
  }

  // ---- The page ----

  void pageShowsTheDefaultsAndTheirSample() {
    CAdvanced_C_Format_sheet sheet;
    QCOMPARE(sheet.windowTitle(), QString("Format options"));
    QCOMPARE(sheet.pageTitles(), QStringList{"Advanced C(++)/Java format options"});
    auto* page = static_cast<CAdvanced_C_Format*>(sheet.page(0));
    QCOMPARE(Child<QLineEdit>(page, "emptyLinesEdit")->text(), QString("2"));
    QCOMPARE(Child<QLineEdit>(page, "spacesToIndentEdit")->text(), QString("4"));
    QCOMPARE(Child<QLineEdit>(page, "commentWithCodeEdit")->text(), QString("1"));
    QCOMPARE(Child<QLineEdit>(page, "commentWithoutCodeEdit")->text(), QString("0"));
    QVERIFY(!Child<QCheckBox>(page, "indentWithTabsCheck")->isChecked());
    QVERIFY(!Child<QCheckBox>(page, "removeCommentsCheck")->isChecked());
    QVERIFY(Child<QRadioButton>(page, "style1Radio")->isChecked());
    const QStringList lines = page->sampleLines();
    QCOMPARE(lines.size(), kSampleLineCount);
    QCOMPARE(lines.first(), QString("if (i == 0) {"));
    QVERIFY(lines.contains("void main (void) {"));
    QCOMPARE(lines, BuildFormatSample(FormatSampleValues()));
    QVERIFY(!sheet.applyButton()->isEnabled());
  }

  void everyChangeRebuildsTheSample() {
    CAdvanced_C_Format page;
    page.ensureLoaded();
    QSignalSpy modified(&page, &CPropertyPage::modified);
    SetText(&page, "commentWithCodeEdit", "15");
    QCOMPARE(page.workingValues().comment_with_code, 15);
    QVERIFY(page.sampleLines().join('\n').contains("(15 chars)"));
    Child<QRadioButton>(&page, "style2Radio")->click();
    QCOMPARE(page.sampleLines().first(), QString("if (i == 0)"));
    SetText(&page, "emptyLinesEdit", "9");
    QCOMPARE(page.sampleLines().at(7), QString("(9 lines)"));
    Child<QCheckBox>(&page, "removeCommentsCheck")->click();
    QVERIFY(!page.sampleLines().join('\n').contains("//"));
    SetText(&page, "spacesToIndentEdit", "8");
    QVERIFY(page.sampleLines().contains("        i++;"));
    Child<QCheckBox>(&page, "indentWithTabsCheck")->click();
    QCOMPARE(page.workingValues().spaces_to_indent, 8);
    QVERIFY(page.sampleLines().contains("    i++;"));
    QVERIFY(modified.count() >= 6);
  }

  void spinButtonsFollowTheirBoxesAndRanges() {
    CAdvanced_C_Format page;
    page.ensureLoaded();
    auto* indentSpin = Child<CSpinButton>(&page, "spacesToIndentSpin");
    auto* withCode = Child<CSpinButton>(&page, "commentWithCodeSpin");
    auto* withoutCode = Child<CSpinButton>(&page, "commentWithoutCodeSpin");
    QVERIFY(indentSpin->isEnabled() && withCode->isEnabled() && withoutCode->isEnabled());
    Child<QCheckBox>(&page, "indentWithTabsCheck")->click();
    QVERIFY(!indentSpin->isEnabled());
    QVERIFY(Child<QLineEdit>(&page, "spacesToIndentEdit")->isEnabled());
    Child<QCheckBox>(&page, "removeCommentsCheck")->click();
    QVERIFY(!withCode->isEnabled() && !withoutCode->isEnabled());
    Child<QCheckBox>(&page, "indentWithTabsCheck")->click();
    Child<QCheckBox>(&page, "removeCommentsCheck")->click();
    QVERIFY(indentSpin->isEnabled() && withCode->isEnabled() && withoutCode->isEnabled());

    const struct {
      const char* spin;
      int upper;
    } ranges[] = {{"emptyLinesSpin", 10}, {"spacesToIndentSpin", 10},
                  {"commentWithCodeSpin", 60}, {"commentWithoutCodeSpin", 60}};
    for (const auto& r : ranges) {
      auto* spin = Child<CSpinButton>(&page, r.spin);
      QCOMPARE(spin->lower(), 0);
      QCOMPARE(spin->upper(), r.upper);
      spin->buddy()->setText(QString::number(r.upper));
      spin->stepUp();
      QCOMPARE(spin->buddy()->text(), QString::number(r.upper));
      spin->buddy()->setText("0");
      spin->stepDown();
      QCOMPARE(spin->buddy()->text(), QString("0"));
    }
  }

  void fieldsTakeDigitsOnly() {
    CAdvanced_C_Format page;
    page.ensureLoaded();
    SetText(&page, "emptyLinesEdit", "-3x7");
    QCOMPARE(Child<QLineEdit>(&page, "emptyLinesEdit")->text(), QString("37"));
    SetText(&page, "commentWithCodeEdit", "123");
    QCOMPARE(Child<QLineEdit>(&page, "commentWithCodeEdit")->text(), QString("12"));
  }

  void okWritesTheSevenValuesAsTextAndNumbers() {
    CAdvanced_C_Format_sheet sheet;
    auto* page = sheet.page(0);
    SetText(page, "emptyLinesEdit", "07");
    SetText(page, "spacesToIndentEdit", "3");
    SetText(page, "commentWithCodeEdit", "33");
    SetText(page, "commentWithoutCodeEdit", "");
    Child<QCheckBox>(page, "indentWithTabsCheck")->click();
    Child<QCheckBox>(page, "removeCommentsCheck")->click();
    Child<QRadioButton>(page, "style2Radio")->click();
    QVERIFY(sheet.applyButton()->isEnabled());
    sheet.accept();
    Settings s;
    // The four numbers are kept as typed.
    QCOMPARE(s.Text("m_empty_lines"), std::string("07"));
    QCOMPARE(s.Text("m_spaces_to_indent"), std::string("3"));
    QCOMPARE(s.Text("m_c_with_code"), std::string("33"));
    QCOMPARE(s.Text("m_c_without_code"), std::string(""));
    QCOMPARE(s.Int("m_indent_with_tabs"), 1);
    QCOMPARE(s.Int("m_remove_comments"), 1);
    QCOMPARE(s.Int("m_brace_style"), 1);

    CAdvanced_C_Format_sheet again;
    auto* reread = static_cast<CAdvanced_C_Format*>(again.page(0));
    QCOMPARE(Child<QLineEdit>(reread, "emptyLinesEdit")->text(), QString("07"));
    QCOMPARE(reread->workingValues().empty_lines, 7);
    QVERIFY(Child<QRadioButton>(reread, "style2Radio")->isChecked());
    QVERIFY(!Child<CSpinButton>(reread, "spacesToIndentSpin")->isEnabled());
  }

  void cancelWritesNothingAndApplyWrites() {
    {
      CAdvanced_C_Format_sheet sheet;
      SetText(sheet.page(0), "emptyLinesEdit", "5");
      sheet.reject();
    }
    for (const char* name : {"m_empty_lines", "m_indent_with_tabs", "m_spaces_to_indent",
                             "m_brace_style", "m_remove_comments", "m_c_with_code",
                             "m_c_without_code"}) {
      QVERIFY2(!Stored(name), name);
    }
    CAdvanced_C_Format_sheet sheet;
    SetText(sheet.page(0), "emptyLinesEdit", "5");
    sheet.applyButton()->click();
    QCOMPARE(Settings().Text("m_empty_lines"), std::string("5"));
    QVERIFY(Stored("m_c_without_code"));
  }

  void braceStyleChosenOnThePageReachesTheNextReformat() {
    const std::string path = m_dir->File("brace.c");
    const char source[] = "int f(int x)\n{\nif (x)\n{\nreturn 1;\n}\nreturn 0;\n}\n";
    Write(path, source);
    QVERIFY(RunReformatBuild({path}, nullptr).failures.isEmpty());
    QVERIFY2(Read(path).find("if (x) {") != std::string::npos, Read(path).c_str());

    CAdvanced_C_Format_sheet sheet;
    Child<QRadioButton>(sheet.page(0), "style2Radio")->click();
    sheet.accept();
    Write(path, source);
    QVERIFY(RunReformatBuild({path}, nullptr).failures.isEmpty());
    const std::string formatted = Read(path);
    QVERIFY2(formatted.find("if (x) {") == std::string::npos, formatted.c_str());
    QVERIFY2(formatted.find("    if (x)\n    {\n") != std::string::npos, formatted.c_str());
  }

  // ---- The "More" group ----

  void moreGroupShowsAndStoresTheLayoutSettings() {
    {
      CAdvanced_C_Format page;
      page.ensureLoaded();
      // Unstored, the classic layout.
      QVERIFY(!Child<QCheckBox>(&page, "cuddleElseCheck")->isChecked());
      QVERIFY(!Child<QCheckBox>(&page, "functionBraceCheck")->isChecked());
      QCOMPARE(Child<QComboBox>(&page, "continuationCombo")->currentIndex(), 0);
      QCOMPARE(Child<QComboBox>(&page, "accessLabelsCombo")->currentIndex(), 0);
      QVERIFY(Child<QCheckBox>(&page, "indentNamespaceCheck")->isChecked());
      QVERIFY(Child<QCheckBox>(&page, "indentCaseCheck")->isChecked());
      QCOMPARE(Child<QComboBox>(&page, "namedStyleCombo")->currentIndex(), -1);
    }
    Settings s;
    s.SetInt("m_cuddle_else", 1);
    s.SetInt("m_function_brace", 1);
    s.SetInt("m_continuation", 2);
    s.SetInt("m_indent_access", 2);
    s.SetInt("m_indent_namespace", 0);
    s.SetInt("m_indent_case", 0);
    CAdvanced_C_Format_sheet sheet;
    auto* page = sheet.page(0);
    QVERIFY(Child<QCheckBox>(page, "cuddleElseCheck")->isChecked());
    QVERIFY(Child<QCheckBox>(page, "functionBraceCheck")->isChecked());
    QCOMPARE(Child<QComboBox>(page, "continuationCombo")->currentIndex(), 2);
    QCOMPARE(Child<QComboBox>(page, "accessLabelsCombo")->currentIndex(), 2);
    QVERIFY(!Child<QCheckBox>(page, "indentNamespaceCheck")->isChecked());
    QVERIFY(!Child<QCheckBox>(page, "indentCaseCheck")->isChecked());

    QVERIFY(!sheet.applyButton()->isEnabled());
    Child<QCheckBox>(page, "cuddleElseCheck")->click();
    Child<QCheckBox>(page, "indentCaseCheck")->click();
    QVERIFY(sheet.applyButton()->isEnabled());
    auto* access = Child<QComboBox>(page, "accessLabelsCombo");
    access->setCurrentIndex(3);
    emit access->activated(3);
    sheet.accept();
    QCOMPARE(s.Int("m_cuddle_else"), 0);
    QCOMPARE(s.Int("m_function_brace"), 1);
    QCOMPARE(s.Int("m_continuation"), 2);
    QCOMPARE(s.Int("m_indent_access"), 3);
    QCOMPARE(s.Int("m_indent_namespace"), 0);
    QCOMPARE(s.Int("m_indent_case"), 1);
  }

  void namedStyleSetsEveryControlItNames() {
    CAdvanced_C_Format_sheet sheet;
    auto* page = static_cast<CAdvanced_C_Format*>(sheet.page(0));
    auto* styles = Child<QComboBox>(page, "namedStyleCombo");
    const int linuxStyle = styles->findData(QStringLiteral("linux"));
    QVERIFY(linuxStyle >= 0);
    styles->setCurrentIndex(linuxStyle);
    emit styles->activated(linuxStyle);
    QVERIFY(sheet.applyButton()->isEnabled());
    QVERIFY(Child<QCheckBox>(page, "indentWithTabsCheck")->isChecked());
    QVERIFY(Child<QRadioButton>(page, "style1Radio")->isChecked());
    QVERIFY(Child<QCheckBox>(page, "cuddleElseCheck")->isChecked());
    QVERIFY(Child<QCheckBox>(page, "functionBraceCheck")->isChecked());
    QVERIFY(!Child<QCheckBox>(page, "indentCaseCheck")->isChecked());
    QCOMPARE(Child<QLineEdit>(page, "emptyLinesEdit")->text(), QString("1"));
    // The sample follows at once.
    QCOMPARE(page->workingValues().empty_lines, 1);
    QVERIFY(page->workingValues().indent_with_tabs);
    // The comment columns are not the style's.
    SetText(page, "commentWithCodeEdit", "40");
    const int gnuStyle = styles->findData(QStringLiteral("gnu"));
    styles->setCurrentIndex(gnuStyle);
    emit styles->activated(gnuStyle);
    QCOMPARE(Child<QLineEdit>(page, "commentWithCodeEdit")->text(), QString("40"));
    QVERIFY(!Child<QCheckBox>(page, "indentWithTabsCheck")->isChecked());
    QCOMPARE(Child<QLineEdit>(page, "spacesToIndentEdit")->text(), QString("2"));
    QVERIFY(Child<QRadioButton>(page, "style2Radio")->isChecked());
    QCOMPARE(Child<QComboBox>(page, "continuationCombo")->currentIndex(), 1);
    sheet.accept();

    Settings s;
    QCOMPARE(s.Int("m_spaces_to_indent"), 2);
    QCOMPARE(s.Int("m_brace_style"), 1);
    QCOMPARE(s.Int("m_continuation"), 1);
    QCOMPARE(s.Int("m_indent_case"), 1);
    QCOMPARE(s.Text("m_c_with_code"), std::string("40"));

    // Classic brings back every default the styles touch.
    CAdvanced_C_Format_sheet again;
    auto* classicStyles = Child<QComboBox>(again.page(0), "namedStyleCombo");
    classicStyles->setCurrentIndex(0);
    emit classicStyles->activated(0);
    again.accept();
    for (const auto& [name, value] : FindNamedStyle("classic")->values) {
      QCOMPARE(s.Text(name), DefaultText(SettingKey::kMain, name));
    }
  }

  void cuddledElseChosenOnThePageReachesTheNextReformat() {
    const std::string path = m_dir->File("else.c");
    const char source[] = "int f(int x)\n{\nif (x)\n{\nreturn 1;\n}\nelse\n{\nreturn 0;\n}\n}\n";
    Write(path, source);
    QVERIFY(RunReformatBuild({path}, nullptr).failures.isEmpty());
    QVERIFY2(Read(path).find("    }\n    else {\n") != std::string::npos, Read(path).c_str());

    CAdvanced_C_Format_sheet sheet;
    Child<QCheckBox>(sheet.page(0), "cuddleElseCheck")->click();
    sheet.accept();
    Write(path, source);
    QVERIFY(RunReformatBuild({path}, nullptr).failures.isEmpty());
    QVERIFY2(Read(path).find("    } else {\n") != std::string::npos, Read(path).c_str());
  }

  void keptTrailingCommentsAreShownStoredSetByAStyleAndReachTheNextReformat() {
    const std::string path = m_dir->File("comment.c");
    const char source[] = "int f(int x)\n{\n    x = 1;  // one\n    return x;\n}\n";
    Write(path, source);
    QVERIFY(RunReformatBuild({path}, nullptr).failures.isEmpty());
    QVERIFY2(Read(path).find("// one\n    x = 1;\n") != std::string::npos, Read(path).c_str());

    {
      CAdvanced_C_Format_sheet sheet;
      auto* keep = Child<QCheckBox>(sheet.page(0), "keepCommentsCheck");
      QVERIFY(!keep->isChecked());
      QVERIFY(!sheet.applyButton()->isEnabled());
      keep->click();
      QVERIFY(sheet.applyButton()->isEnabled());
      sheet.accept();
    }
    Settings s;
    QCOMPARE(s.Int("m_keep_trailing_comments"), 1);
    Write(path, source);
    QVERIFY(RunReformatBuild({path}, nullptr).failures.isEmpty());
    QVERIFY2(Read(path).find("    x = 1;  // one\n") != std::string::npos, Read(path).c_str());

    // Classic turns it off again, every other named style on.
    CAdvanced_C_Format_sheet sheet;
    auto* page = sheet.page(0);
    auto* styles = Child<QComboBox>(page, "namedStyleCombo");
    styles->setCurrentIndex(0);
    emit styles->activated(0);
    QVERIFY(!Child<QCheckBox>(page, "keepCommentsCheck")->isChecked());
    const int kr = styles->findData(QStringLiteral("kr"));
    styles->setCurrentIndex(kr);
    emit styles->activated(kr);
    QVERIFY(Child<QCheckBox>(page, "keepCommentsCheck")->isChecked());
    styles->setCurrentIndex(0);
    emit styles->activated(0);
    sheet.accept();
    QCOMPARE(s.Int("m_keep_trailing_comments"), 0);
  }

  void commentLinesAtTheCodesIndentationAreShownStoredSetByAStyleAndReachTheNextReformat() {
    const std::string path = m_dir->File("lines.c");
    const char source[] = "int f(int x)\n{\n// one\n    x = 1;\n    return x;\n}\n";
    Write(path, source);
    QVERIFY(RunReformatBuild({path}, nullptr).failures.isEmpty());
    QVERIFY2(Read(path).find("\n// one\n    x = 1;\n") != std::string::npos, Read(path).c_str());

    {
      CAdvanced_C_Format_sheet sheet;
      auto* lines = Child<QCheckBox>(sheet.page(0), "commentsAtCodeCheck");
      QVERIFY(!lines->isChecked());
      QVERIFY(!sheet.applyButton()->isEnabled());
      lines->click();
      QVERIFY(sheet.applyButton()->isEnabled());
      sheet.accept();
    }
    Settings s;
    QCOMPARE(s.Int("m_comments_at_code_indent"), 1);
    {
      // Shown as stored when the page opens again.
      CAdvanced_C_Format_sheet sheet;
      QVERIFY(Child<QCheckBox>(sheet.page(0), "commentsAtCodeCheck")->isChecked());
    }
    Write(path, source);
    QVERIFY(RunReformatBuild({path}, nullptr).failures.isEmpty());
    QVERIFY2(Read(path).find("\n    // one\n    x = 1;\n") != std::string::npos, Read(path).c_str());

    // Classic turns it off again, every other named style on.
    CAdvanced_C_Format_sheet sheet;
    auto* page = sheet.page(0);
    auto* styles = Child<QComboBox>(page, "namedStyleCombo");
    styles->setCurrentIndex(0);
    emit styles->activated(0);
    QVERIFY(!Child<QCheckBox>(page, "commentsAtCodeCheck")->isChecked());
    const int gnu = styles->findData(QStringLiteral("gnu"));
    styles->setCurrentIndex(gnu);
    emit styles->activated(gnu);
    QVERIFY(Child<QCheckBox>(page, "commentsAtCodeCheck")->isChecked());
    styles->setCurrentIndex(0);
    emit styles->activated(0);
    sheet.accept();
    QCOMPARE(s.Int("m_comments_at_code_indent"), 0);
  }
};

QTEST_MAIN(TestAdvancedFormat)
#include "test_advanced_format.moc"
