// CKeywordfiles: the "Keywordfiles" page of the Preferences, naming the
// keyword file used for each language.
#pragma once

#include "prop_sheet.h"

class QLineEdit;

namespace folios::gui {

class CKeywordfiles : public CPropertyPage {
  Q_OBJECT

 public:
  explicit CKeywordfiles(QWidget* parent = nullptr);

  void LoadSettings() override;
  bool SaveSettings() override;

 private:
  // Lets the user pick a keyword file for `edit`; Cancel keeps the path.
  void browse(QLineEdit* edit, const QString& title);

  QLineEdit* m_cFiles;
  QLineEdit* m_vbFiles;
  QLineEdit* m_javaFiles;
};

}  // namespace folios::gui
