// CDocOpt: the "Documentation layout" page of the Preferences: document
// type (RTF, help file source or web page), topic sorting, topic log and the
// extraction expression.
#pragma once

#include "prop_sheet.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace folios::gui {

class CDocOpt : public CPropertyPage {
  Q_OBJECT

 public:
  explicit CDocOpt(QWidget* parent = nullptr);

  void LoadSettings() override;
  bool SaveSettings() override;

 protected:
  // Enter and Escape inside the page are dropped, so typing the expression
  // never closes the sheet.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QButtonGroup* m_docType;
  QCheckBox* m_sortTopics;
  QCheckBox* m_topicLog;
  QCheckBox* m_useExpression;
  QLineEdit* m_expression;
};

}  // namespace folios::gui
