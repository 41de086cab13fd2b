// COptPage1: the "General" page of the Preferences: what happens after a
// build and at start, the Open dialog's first filter and folder, the page
// orientation of listings, and resetting every setting.
#pragma once

#include "prop_sheet.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace folios::gui {

class COptPage1 : public CPropertyPage {
  Q_OBJECT

 public:
  // The pictures shown beside the orientation choice.
  static constexpr int kPortraitIcon = 195;
  static constexpr int kLandscapeIcon = 196;

  explicit COptPage1(QWidget* parent = nullptr);

  void LoadSettings() override;
  bool SaveSettings() override;

  // Which picture is shown now: kPortraitIcon or kLandscapeIcon.
  int orientationIcon() const { return m_orientationIcon; }

 private slots:
  void browseLocation();
  void resetAllSettings();

 private:
  void showOrientation(int orientation);

  QCheckBox* m_openFile;
  QCheckBox* m_showFileDlg;
  QButtonGroup* m_fileFilter;
  QLineEdit* m_fileLocation;
  QButtonGroup* m_orientation;
  QLabel* m_picture;
  int m_orientationIcon = kPortraitIcon;
};

}  // namespace folios::gui
