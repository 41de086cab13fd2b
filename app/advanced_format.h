// CAdvanced_C_Format: the page "Advanced C(++)/Java format options", where
// the beautifier's seven settings are edited beside a nine-line sample that
// the beautifier itself lays out; and CAdvanced_C_Format_sheet, the
// "Format options" sheet that shows the page alone.
#pragma once

#include <QStringList>
#include <array>

#include "prop_sheet.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;

namespace folios::gui {

class CFontSample;
class CSpinButton;

// The working numbers of the sample, each the decimal value of its field.
struct FormatSampleValues {
  int empty_lines = 2;
  bool indent_with_tabs = false;
  int spaces_to_indent = 4;
  bool remove_comments = false;
  int comment_with_code = 1;
  int comment_without_code = 0;
  int brace_style = 0;  // 0 brace on the code line, 1 brace on a line of its own
};

inline constexpr int kSampleLineCount = 9;

// The nine sample lines: a short piece of C formatted by the beautifier
// with `values`, tabs shown as blanks. Where the result would not fit, a gap
// before a comment wider than the page shows is written " (N chars) " (with
// code above column 10, alone above column 20), and a run of empty lines
// that would leave only the function's first line in sight, or none of it,
// is written as one line "(N lines)" on line 8 with the function's first
// line on line 9. The cost does not grow with the numbers given.
QStringList BuildFormatSample(const FormatSampleValues& values);

class CAdvanced_C_Format : public CPropertyPage {
  Q_OBJECT

 public:
  explicit CAdvanced_C_Format(QWidget* parent = nullptr);

  void LoadSettings() override;
  bool SaveSettings() override;

  // The texts shown by the nine sample lines.
  QStringList sampleLines() const;
  FormatSampleValues workingValues() const;

 protected:
  // The sample follows the palette of the desktop.
  void changeEvent(QEvent* event) override;

 private:
  void showPalette();
  // Takes the controls' values into the working numbers, sets the spin
  // buttons' enabled state and rebuilds the sample.
  void refresh();
  // The "More" group: the layout settings beyond the classic ones, and the
  // named styles that set them all at once.
  QGroupBox* buildMoreGroup();
  void applyNamedStyle(int index);

  QLineEdit* m_emptyLines;
  QCheckBox* m_indentWithTabs;
  QLineEdit* m_spacesToIndent;
  QCheckBox* m_removeComments;
  QLineEdit* m_commentWithCode;
  QLineEdit* m_commentWithoutCode;
  QButtonGroup* m_braceStyle;
  QComboBox* m_namedStyle;
  QCheckBox* m_cuddleElse;
  QCheckBox* m_functionBrace;
  QComboBox* m_continuation;
  QComboBox* m_accessLabels;
  QCheckBox* m_indentNamespace;
  QCheckBox* m_indentCase;
  QCheckBox* m_keepComments;
  QCheckBox* m_commentsAtCode;
  CSpinButton* m_emptyLinesSpin;
  CSpinButton* m_indentSpin;
  CSpinButton* m_withCodeSpin;
  CSpinButton* m_withoutCodeSpin;
  std::array<CFontSample*, kSampleLineCount> m_sample{};
};

class CAdvanced_C_Format_sheet : public CPropertySheet {
  Q_OBJECT

 public:
  explicit CAdvanced_C_Format_sheet(QWidget* parent = nullptr);
};

}  // namespace folios::gui
