#include "advanced_format.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <sstream>

#include "beautifier_options.h"
#include "engine.h"
#include "font_sample.h"
#include "named_styles.h"
#include "page_controls.h"
#include "registry.h"
#include "setting_names.h"
#include "settings_table.h"
#include "spin_button.h"

namespace folios::gui {

namespace {

// Braces on lines of their own: the beautifier joins them to the code line
// for the first style and leaves them for the second.
constexpr char kSampleSource[] =
    "if (i == 0)\n{\ni++; //comment with code\n//comment without code\n}\n"
    "void main (void)\n{\n}\n";
constexpr char kCommentWithCode[] = "//comment with code";
constexpr char kCommentWithoutCode[] = "//comment without code";
// Columns and widths beyond this are laid out as this; the markers name the
// real number. Keeps the sample's cost fixed whatever is stored.
constexpr int kSampleNumberLimit = 99;
// More empty lines than this never fit the nine lines anyway.
constexpr int kSampleEmptyLinesLimit = kSampleLineCount + 1;
// Gaps wider than these are named rather than drawn.
constexpr int kWidestCodeCommentGap = 10;
constexpr int kWidestLoneCommentGap = 20;

QString ExpandTabs(const QString& line, int tab_width) {
  if (tab_width <= 0 || !line.contains(QLatin1Char('\t'))) return line;
  QString expanded;
  for (QChar c : line) {
    if (c == QLatin1Char('\t')) {
      expanded += QString(tab_width - static_cast<int>(expanded.size()) % tab_width, QLatin1Char(' '));
    } else {
      expanded += c;
    }
  }
  return expanded;
}

// Replaces the blanks before `comment` on its line by " (N chars) ".
void NameGap(QStringList* lines, const char* comment, int columns) {
  for (QString& line : *lines) {
    const qsizetype at = line.indexOf(QLatin1String(comment));
    if (at < 0) continue;
    qsizetype start = at;
    while (start > 0 && line.at(start - 1) == QLatin1Char(' ')) --start;
    line = line.left(start) + CAdvanced_C_Format::tr(" (%1 chars) ").arg(columns) + line.mid(at);
    return;
  }
}

int Number(const QLineEdit* edit) { return CRegistry::AtoiRule(edit->text().toStdString()); }

}  // namespace

QStringList BuildFormatSample(const FormatSampleValues& values) {
  const auto limited = [](int n) { return std::clamp(n, -kSampleNumberLimit, kSampleNumberLimit); };
  BeautifierOptions options;
  options.USE_TABS = values.indent_with_tabs ? -1 : 0;
  options.INDENT_SPACING = values.indent_with_tabs ? 4 : limited(values.spaces_to_indent);
  options.COMMENTS_WITH_CODE = limited(values.comment_with_code);
  options.COMMENTS_WITH_NOCODE = limited(values.comment_without_code);
  options.FUNCTION_SPACING =
      std::clamp(values.empty_lines, -kSampleNumberLimit, kSampleEmptyLinesLimit);
  options.PLACE_BRACE_ON_NEW_LINE = values.brace_style != 0 ? -1 : 0;
  options.PROGRAM_OUTPUT = 0;

  std::istringstream in(kSampleSource);
  std::ostringstream out;
  std::ostringstream report;
  std::ostringstream err;
  RunBeautifier(in, out, options, values.remove_comments, report, err);

  QStringList lines = QString::fromStdString(out.str()).split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  for (QString& line : lines) line = ExpandTabs(line, options.INDENT_SPACING);
  if (!values.remove_comments) {
    if (values.comment_with_code > kWidestCodeCommentGap) {
      NameGap(&lines, kCommentWithCode, values.comment_with_code);
    }
    if (values.comment_without_code > kWidestLoneCommentGap) {
      NameGap(&lines, kCommentWithoutCode, values.comment_without_code);
    }
  }

  // Empty lines that push the function's second line out of the nine are
  // counted instead, so that its first line stays in sight on line 9.
  qsizetype function = 0;
  while (function < lines.size() && !lines.at(function).startsWith(QLatin1String("void main"))) {
    ++function;
  }
  if (function >= kSampleLineCount - 1 && function < lines.size()) {
    qsizetype run = function;
    while (run > 0 && lines.at(run - 1).trimmed().isEmpty()) --run;
    const qsizetype blanks = function - run;
    if (blanks > 0 && run <= kSampleLineCount - 2) {
      const int shown = values.empty_lines > kSampleEmptyLinesLimit ? values.empty_lines
                                                                    : static_cast<int>(blanks);
      QStringList collapsed = lines.mid(0, run);
      while (collapsed.size() < kSampleLineCount - 2) collapsed << QString();
      collapsed << CAdvanced_C_Format::tr("(%1 lines)").arg(shown) << lines.at(function);
      lines = collapsed;
    }
  }
  lines = lines.mid(0, kSampleLineCount);
  while (lines.size() < kSampleLineCount) lines << QString();
  return lines;
}

CAdvanced_C_Format::CAdvanced_C_Format(QWidget* parent)
    : CPropertyPage(tr("Advanced C(++)/Java format options"), parent) {
  setObjectName(QStringLiteral("advancedFormatPage"));

  // Digits only: the spin ranges go up to 60, and the beautifier takes the
  // fields as numbers.
  auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")),
                                                 this);
  auto numberField = [this, digits](const char* name, const char* spinName, int upper,
                                    CSpinButton** spin) {
    QLineEdit* edit = NamedEdit(name, this);
    edit->setValidator(digits);
    edit->setFixedWidth(40);
    *spin = new CSpinButton(edit, 0, upper, this);
    (*spin)->setObjectName(QString::fromLatin1(spinName));
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(edit);
    row->addWidget(*spin);
    row->addStretch(1);
    return std::pair{edit, row};
  };
  auto [emptyLines, emptyRow] = numberField("emptyLinesEdit", "emptyLinesSpin", 10, &m_emptyLinesSpin);
  auto [spaces, spacesRow] = numberField("spacesToIndentEdit", "spacesToIndentSpin", 10, &m_indentSpin);
  auto [withCode, withCodeRow] =
      numberField("commentWithCodeEdit", "commentWithCodeSpin", 60, &m_withCodeSpin);
  auto [withoutCode, withoutCodeRow] =
      numberField("commentWithoutCodeEdit", "commentWithoutCodeSpin", 60, &m_withoutCodeSpin);
  m_emptyLines = emptyLines;
  m_spacesToIndent = spaces;
  m_commentWithCode = withCode;
  m_commentWithoutCode = withoutCode;
  m_indentWithTabs = NamedCheck(tr("&Indent with &tabs"), "indentWithTabsCheck", this);
  m_removeComments = NamedCheck(tr("&Remove all comments"), "removeCommentsCheck", this);
  m_braceStyle = new QButtonGroup(this);
  QRadioButton* style1 = NamedRadio(tr("Style &1"), "style1Radio", this);
  QRadioButton* style2 = NamedRadio(tr("Style &2"), "style2Radio", this);
  m_braceStyle->addButton(style1, 0);
  m_braceStyle->addButton(style2, 1);

  auto* fields = new QGridLayout;
  int row = 0;
  fields->addWidget(BuddyLabel(tr("&Empty lines between two functions"), m_emptyLines, this), row,
                    0);
  fields->addLayout(emptyRow, row++, 1);
  fields->addWidget(m_indentWithTabs, row++, 0, 1, 2);
  fields->addWidget(BuddyLabel(tr("&Spaces to indent"), m_spacesToIndent, this), row, 0);
  fields->addLayout(spacesRow, row++, 1);
  fields->addWidget(m_removeComments, row++, 0, 1, 2);
  fields->addWidget(BuddyLabel(tr("Comment position &with code"), m_commentWithCode, this), row, 0);
  fields->addLayout(withCodeRow, row++, 1);
  fields->addWidget(BuddyLabel(tr("Comment position with&out code"), m_commentWithoutCode, this),
                    row, 0);
  fields->addLayout(withoutCodeRow, row++, 1);
  auto* styles = new QHBoxLayout;
  styles->addWidget(style1);
  styles->addWidget(style2);
  styles->addStretch(1);
  fields->addLayout(styles, row++, 0, 1, 2);
  fields->addWidget(buildMoreGroup(), row++, 0, 1, 2);
  fields->setRowStretch(row, 1);

  auto* frame = new QFrame(this);
  frame->setObjectName(QStringLiteral("sampleFrame"));
  frame->setFrameShape(QFrame::StyledPanel);
  // The sample looks like text in an editor of the desktop, light or dark.
  frame->setBackgroundRole(QPalette::Base);
  frame->setAutoFillBackground(true);
  auto* sampleLayout = new QVBoxLayout(frame);
  sampleLayout->setSpacing(0);
  for (int i = 0; i < kSampleLineCount; ++i) {
    auto* line = new CFontSample(frame, QString(), QStringLiteral("Courier New"), 6);
    line->setObjectName(QStringLiteral("sampleLine%1").arg(i + 1));
    line->setMinimumSize(340, 15);
    line->setNoFill(true);
    m_sample[static_cast<size_t>(i)] = line;
    sampleLayout->addWidget(line);
  }

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(frame, 1, Qt::AlignTop);

  for (QLineEdit* edit : {m_emptyLines, m_spacesToIndent, m_commentWithCode, m_commentWithoutCode}) {
    connect(edit, &QLineEdit::textChanged, this, [this] {
      refresh();
      emit modified();
    });
  }
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
           m_indentWithTabs, m_removeComments, style1, style2}) {
    connect(b, &QAbstractButton::clicked, this, [this] {
      refresh();
      emit modified();
    });
  }
  for (QCheckBox* b :
       {m_cuddleElse, m_functionBrace, m_indentNamespace, m_indentCase, m_keepComments, m_commentsAtCode}) {
    connect(b, &QAbstractButton::clicked, this, &CAdvanced_C_Format::modified);
  }
  for (QComboBox* box : {m_continuation, m_accessLabels}) {
    connect(box, &QComboBox::activated, this, &CAdvanced_C_Format::modified);
  }
  connect(m_namedStyle, &QComboBox::activated, this, &CAdvanced_C_Format::applyNamedStyle);
  showPalette();
  refresh();
}

namespace {

// A named style as the list shows it: its name and what it stands for.
QString StyleText(const char* name) {
  static const char* const kTexts[][2] = {
      {"classic", QT_TRANSLATE_NOOP("folios::gui::CAdvanced_C_Format", "classic (the defaults)")},
      {"kr", QT_TRANSLATE_NOOP("folios::gui::CAdvanced_C_Format", "kr (cuddled else, case labels at the switch)")},
      {"allman", QT_TRANSLATE_NOOP("folios::gui::CAdvanced_C_Format", "allman (braces on lines of their own)")},
      {"java", QT_TRANSLATE_NOOP("folios::gui::CAdvanced_C_Format", "java (braces on the code line, cuddled else)")},
      {"linux", QT_TRANSLATE_NOOP("folios::gui::CAdvanced_C_Format", "linux (tabs, a function's brace on its own line)")},
      {"gnu", QT_TRANSLATE_NOOP("folios::gui::CAdvanced_C_Format", "gnu (2 spaces, braces on lines of their own)")},
      {"google", QT_TRANSLATE_NOOP("folios::gui::CAdvanced_C_Format", "google (2 spaces, flat namespaces)")},
  };
  for (const auto& text : kTexts) {
    if (std::string_view(name) == text[0]) return CAdvanced_C_Format::tr(text[1]);
  }
  return QString::fromUtf8(name);
}

}  // namespace

QGroupBox* CAdvanced_C_Format::buildMoreGroup() {
  auto* group = new QGroupBox(tr("More"), this);
  group->setObjectName(QStringLiteral("moreGroup"));
  m_namedStyle = new QComboBox(group);
  m_namedStyle->setObjectName(QStringLiteral("namedStyleCombo"));
  for (const NamedStyle& style : NamedStyles()) {
    m_namedStyle->addItem(StyleText(style.name), QString::fromUtf8(style.name));
  }
  m_namedStyle->setPlaceholderText(tr("Choose a style"));
  m_namedStyle->setCurrentIndex(-1);
  m_cuddleElse = NamedCheck(tr("\"} else {\" on one &line"), "cuddleElseCheck", group);
  m_functionBrace = NamedCheck(tr("&Function braces on lines of their own"), "functionBraceCheck", group);
  m_continuation = new QComboBox(group);
  m_continuation->setObjectName(QStringLiteral("continuationCombo"));
  m_continuation->addItems({tr("One step deeper"), tr("Under the parenthesis"), tr("Two steps deeper")});
  m_accessLabels = new QComboBox(group);
  m_accessLabels->setObjectName(QStringLiteral("accessLabelsCombo"));
  m_accessLabels->addItems(
      {tr("Members one step deeper"), tr("At the class brace"), tr("Half a step in"), tr("One step in")});
  m_indentNamespace = NamedCheck(tr("Indent n&amespace bodies"), "indentNamespaceCheck", group);
  m_indentCase = NamedCheck(tr("Indent &case labels"), "indentCaseCheck", group);
  m_keepComments = NamedCheck(tr("&Keep comments after code on their line"), "keepCommentsCheck", group);
  m_commentsAtCode =
      NamedCheck(tr("Comment lines at the i&ndentation of the code after them"), "commentsAtCodeCheck", group);

  auto* grid = new QGridLayout(group);
  int row = 0;
  grid->addWidget(BuddyLabel(tr("Named st&yle"), m_namedStyle, group), row, 0);
  grid->addWidget(m_namedStyle, row++, 1);
  grid->addWidget(m_cuddleElse, row++, 0, 1, 2);
  grid->addWidget(m_functionBrace, row++, 0, 1, 2);
  grid->addWidget(BuddyLabel(tr("Contin&uation lines"), m_continuation, group), row, 0);
  grid->addWidget(m_continuation, row++, 1);
  grid->addWidget(BuddyLabel(tr("Access la&bels"), m_accessLabels, group), row, 0);
  grid->addWidget(m_accessLabels, row++, 1);
  grid->addWidget(m_indentNamespace, row++, 0, 1, 2);
  grid->addWidget(m_indentCase, row++, 0, 1, 2);
  grid->addWidget(m_keepComments, row++, 0, 1, 2);
  grid->addWidget(m_commentsAtCode, row++, 0, 1, 2);
  return group;
}

void CAdvanced_C_Format::applyNamedStyle(int index) {
  if (index < 0 || index >= static_cast<int>(NamedStyles().size())) return;
  for (const auto& [name, text] : NamedStyles()[static_cast<size_t>(index)].values) {
    const std::string setting = name;
    const QString value = QString::fromUtf8(text);
    const bool on = value != QStringLiteral("0");
    if (setting == setting_name::kEmptyLines) m_emptyLines->setText(value);
    if (setting == setting_name::kSpacesToIndent) m_spacesToIndent->setText(value);
    if (setting == setting_name::kIndentWithTabs) m_indentWithTabs->setChecked(on);
    if (setting == setting_name::kBraceStyle) CheckButtonById(m_braceStyle, value.toInt());
    if (setting == setting_name::kCuddleElse) m_cuddleElse->setChecked(on);
    if (setting == setting_name::kFunctionBrace) m_functionBrace->setChecked(on);
    if (setting == setting_name::kContinuation) m_continuation->setCurrentIndex(value.toInt());
    if (setting == setting_name::kIndentAccess) m_accessLabels->setCurrentIndex(value.toInt());
    if (setting == setting_name::kIndentNamespace) m_indentNamespace->setChecked(on);
    if (setting == setting_name::kIndentCase) m_indentCase->setChecked(on);
    if (setting == setting_name::kKeepTrailingComments) m_keepComments->setChecked(on);
    if (setting == setting_name::kCommentsAtCodeIndent) m_commentsAtCode->setChecked(on);
  }
  refresh();
  emit modified();
}

FormatSampleValues CAdvanced_C_Format::workingValues() const {
  FormatSampleValues values;
  values.empty_lines = Number(m_emptyLines);
  values.indent_with_tabs = m_indentWithTabs->isChecked();
  values.spaces_to_indent = Number(m_spacesToIndent);
  values.remove_comments = m_removeComments->isChecked();
  values.comment_with_code = Number(m_commentWithCode);
  values.comment_without_code = Number(m_commentWithoutCode);
  values.brace_style = m_braceStyle->checkedId() == 1 ? 1 : 0;
  return values;
}

QStringList CAdvanced_C_Format::sampleLines() const {
  QStringList lines;
  for (const CFontSample* line : m_sample) lines << line->text();
  return lines;
}

void CAdvanced_C_Format::showPalette() {
  for (CFontSample* line : m_sample) line->setTextColor(palette().color(QPalette::Text));
}

void CAdvanced_C_Format::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange) showPalette();
  CPropertyPage::changeEvent(event);
}

void CAdvanced_C_Format::refresh() {
  m_indentSpin->setEnabled(!m_indentWithTabs->isChecked());
  m_withCodeSpin->setEnabled(!m_removeComments->isChecked());
  m_withoutCodeSpin->setEnabled(!m_removeComments->isChecked());
  const QStringList lines = BuildFormatSample(workingValues());
  for (int i = 0; i < kSampleLineCount; ++i) m_sample[static_cast<size_t>(i)]->setText(lines.at(i));
}

void CAdvanced_C_Format::LoadSettings() {
  CRegistry registry(kLocalMachine, kProductKey);
  const auto text = [&registry](const char* name) {
    return QString::fromStdString(
        registry.ReadString(name, DefaultText(SettingKey::kMain, name)));
  };
  const auto number = [&registry](const char* name) {
    return registry.ReadInt(name, DefaultInt(SettingKey::kMain, name));
  };
  // One rebuild for the whole load, not one per field.
  for (QLineEdit* edit : {m_emptyLines, m_spacesToIndent, m_commentWithCode, m_commentWithoutCode}) {
    edit->blockSignals(true);
  }
  m_emptyLines->setText(text(setting_name::kEmptyLines));
  m_indentWithTabs->setChecked(number(setting_name::kIndentWithTabs) != 0);
  m_spacesToIndent->setText(text(setting_name::kSpacesToIndent));
  m_removeComments->setChecked(number(setting_name::kRemoveComments) != 0);
  m_commentWithCode->setText(text(setting_name::kCWithCode));
  m_commentWithoutCode->setText(text(setting_name::kCWithoutCode));
  CheckButtonById(m_braceStyle, number(setting_name::kBraceStyle));
  m_cuddleElse->setChecked(number(setting_name::kCuddleElse) != 0);
  m_functionBrace->setChecked(number(setting_name::kFunctionBrace) != 0);
  m_continuation->setCurrentIndex(std::clamp(number(setting_name::kContinuation), 0, 2));
  m_accessLabels->setCurrentIndex(std::clamp(number(setting_name::kIndentAccess), 0, 3));
  m_indentNamespace->setChecked(number(setting_name::kIndentNamespace) != 0);
  m_indentCase->setChecked(number(setting_name::kIndentCase) != 0);
  m_keepComments->setChecked(number(setting_name::kKeepTrailingComments) != 0);
  m_commentsAtCode->setChecked(number(setting_name::kCommentsAtCodeIndent) != 0);
  for (QLineEdit* edit : {m_emptyLines, m_spacesToIndent, m_commentWithCode, m_commentWithoutCode}) {
    edit->blockSignals(false);
  }
  refresh();
}

bool CAdvanced_C_Format::SaveSettings() {
  CRegistry registry(kLocalMachine, kProductKey);
  registry.WriteString(setting_name::kEmptyLines, m_emptyLines->text().toStdString());
  registry.WriteInt(setting_name::kIndentWithTabs, m_indentWithTabs->isChecked() ? 1 : 0);
  registry.WriteString(setting_name::kSpacesToIndent, m_spacesToIndent->text().toStdString());
  // A stored style that matches neither button is kept as it is.
  if (m_braceStyle->checkedId() >= 0) registry.WriteInt(setting_name::kBraceStyle, m_braceStyle->checkedId());
  registry.WriteInt(setting_name::kRemoveComments, m_removeComments->isChecked() ? 1 : 0);
  registry.WriteString(setting_name::kCWithCode, m_commentWithCode->text().toStdString());
  registry.WriteString(setting_name::kCWithoutCode, m_commentWithoutCode->text().toStdString());
  registry.WriteInt(setting_name::kCuddleElse, m_cuddleElse->isChecked() ? 1 : 0);
  registry.WriteInt(setting_name::kFunctionBrace, m_functionBrace->isChecked() ? 1 : 0);
  registry.WriteInt(setting_name::kContinuation, m_continuation->currentIndex());
  registry.WriteInt(setting_name::kIndentAccess, m_accessLabels->currentIndex());
  registry.WriteInt(setting_name::kIndentNamespace, m_indentNamespace->isChecked() ? 1 : 0);
  registry.WriteInt(setting_name::kIndentCase, m_indentCase->isChecked() ? 1 : 0);
  registry.WriteInt(setting_name::kKeepTrailingComments, m_keepComments->isChecked() ? 1 : 0);
  registry.WriteInt(setting_name::kCommentsAtCodeIndent, m_commentsAtCode->isChecked() ? 1 : 0);
  return true;
}

CAdvanced_C_Format_sheet::CAdvanced_C_Format_sheet(QWidget* parent)
    : CPropertySheet(tr("Format options"), parent) {
  setObjectName(QStringLiteral("formatOptionsSheet"));
  addPage(new CAdvanced_C_Format(this));
}

}  // namespace folios::gui
