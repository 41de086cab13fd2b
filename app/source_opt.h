// CSourceOpt: the "Source code layout" page of the Preferences: what of a
// Visual Basic file is listed, line separators and breaks, noise characters,
// line numbers, columns, page breaks, pre-formatting with the beautifier,
// and the document type (RTF or a web page).
#pragma once

#include "prop_sheet.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace folios::gui {

class CSpinButton;

class CSourceOpt : public CPropertyPage {
  Q_OBJECT

 public:
  // The numbers "Start at" and "Increment by" accept: 1 .. kMaxLineNumber.
  static constexpr int kMaxLineNumber = 99999;

  explicit CSourceOpt(QWidget* parent = nullptr);

  void LoadSettings() override;
  // "Start at" and "Increment by" must be numbers from 1 to 99999.
  bool ValidateSettings() override;
  bool SaveSettings() override;

 private slots:
  void defineNoiseChars();
  void advancedOptions();

 private:
  // While "&None" is checked the numbering mode and numbers are greyed out.
  void applyEnablingRule();

  QButtonGroup* m_format;
  QCheckBox* m_lineSep;
  QCheckBox* m_lineBreaks;
  QCheckBox* m_removeNoise;
  QCheckBox* m_noLineNumbers;
  QRadioButton* m_byModule;
  QRadioButton* m_continuous;
  QLineEdit* m_startAt;
  QLineEdit* m_incrementBy;
  QLineEdit* m_colNumber;
  CSpinButton* m_colSpin;
  QCheckBox* m_colSeparator;
  QCheckBox* m_pageBreak;
  QCheckBox* m_useAdvanced;
  QButtonGroup* m_outputType;
};

}  // namespace folios::gui
