// CDocOptionsCode: the "Fonts" page (size, styles and colours of code,
// comments and file headers in listings), and CPropDlgDoc, the "Document
// options" sheet that holds it as its one page.
#pragma once

#include <array>

#include "change_font_dlg.h"
#include "prop_sheet.h"

namespace folios::gui {

class CFontSample;

class CDocOptionsCode : public CPropertyPage {
  Q_OBJECT

 public:
  enum Section { kCode = 0, kComment = 1, kHeader = 2, kSectionCount = 3 };

  explicit CDocOptionsCode(QWidget* parent = nullptr);

  void LoadSettings() override;
  bool SaveSettings() override;

  const TextStyle& style(Section section) const { return m_styles[section]; }
  CFontSample* preview(Section section) const { return m_previews[section]; }

 public slots:
  // Opens "Change font" for `section`; OK takes its choice and repaints.
  void changeFont(int section);

 private:
  void showStyle(Section section);

  std::array<TextStyle, kSectionCount> m_styles;
  std::array<CFontSample*, kSectionCount> m_previews{};
};

class CPropDlgDoc : public CPropertySheet {
  Q_OBJECT

 public:
  explicit CPropDlgDoc(QWidget* parent = nullptr);
};

}  // namespace folios::gui
