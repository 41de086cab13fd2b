#include "opt_page1.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "file_dialog.h"
#include "group_icons.h"
#include "message_box.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios::gui {

namespace {

QRadioButton* Radio(const QString& text, const char* name, QWidget* parent) {
  auto* radio = new QRadioButton(text, parent);
  radio->setObjectName(QString::fromLatin1(name));
  return radio;
}

}  // namespace

COptPage1::COptPage1(QWidget* parent) : CPropertyPage(tr("General"), parent) {
  setObjectName(QStringLiteral("generalPage"));

  m_openFile = new QCheckBox(tr("&Open File after creation"), this);
  m_openFile->setObjectName(QStringLiteral("openFileCheck"));
  m_showFileDlg = new QCheckBox(tr("&Show File Open Dialog upon program start"), this);
  m_showFileDlg->setObjectName(QStringLiteral("showFileDlgCheck"));
  auto* general = new QGroupBox(tr("General"), this);
  auto* generalLayout = new QVBoxLayout(general);
  generalLayout->addWidget(m_openFile);
  generalLayout->addWidget(m_showFileDlg);

  auto* filterBox = new QGroupBox(tr("Default file filter"), this);
  auto* filterLayout = new QVBoxLayout(filterBox);
  m_fileFilter = new QButtonGroup(this);
  const char* filterNames[] = {"filterCpp", "filterVb", "filterJava"};
  const QString filterTexts[] = {tr("C++ Files (*.dsp; *.cpp; *.h)"),
                                 tr("VB Files (*.vbp; *.bas; *.cls; *.frm)"),
                                 tr("Java Files (*.java)")};
  for (int i = 0; i < 3; ++i) {
    QRadioButton* radio = Radio(filterTexts[i], filterNames[i], filterBox);
    m_fileFilter->addButton(radio, i);
    filterLayout->addWidget(radio);
  }

  auto* locationBox = new QGroupBox(tr("Default file location"), this);
  auto* locationLayout = new QHBoxLayout(locationBox);
  m_fileLocation = new QLineEdit(locationBox);
  m_fileLocation->setObjectName(QStringLiteral("fileLocationEdit"));
  m_fileLocation->setReadOnly(true);
  auto* browse = new QPushButton(tr("..."), locationBox);
  browse->setObjectName(QStringLiteral("browseLocationButton"));
  browse->setFixedWidth(32);
  locationLayout->addWidget(m_fileLocation, 1);
  locationLayout->addWidget(browse);

  auto* orientationBox = new QGroupBox(tr("Orientation"), this);
  auto* orientationLayout = new QHBoxLayout(orientationBox);
  auto* radios = new QVBoxLayout;
  m_orientation = new QButtonGroup(this);
  QRadioButton* portrait = Radio(tr("&Portrait"), "portraitRadio", orientationBox);
  QRadioButton* landscape = Radio(tr("&Landscape"), "landscapeRadio", orientationBox);
  m_orientation->addButton(portrait, 0);
  m_orientation->addButton(landscape, 1);
  radios->addWidget(portrait);
  radios->addWidget(landscape);
  m_picture = new QLabel(orientationBox);
  m_picture->setObjectName(QStringLiteral("orientationPicture"));
  m_picture->setFixedSize(48, 48);
  orientationLayout->addLayout(radios, 1);
  orientationLayout->addWidget(m_picture);

  auto* reset = new QPushButton(tr("Reset all settings"), this);
  reset->setObjectName(QStringLiteral("resetButton"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(general, 0, 0, 1, 2);
  grid->addWidget(filterBox, 1, 0);
  grid->addWidget(orientationBox, 1, 1);
  grid->addWidget(locationBox, 2, 0, 1, 2);
  auto* resetRow = new QHBoxLayout;
  resetRow->addStretch(1);
  resetRow->addWidget(reset);
  grid->addLayout(resetRow, 3, 0, 1, 2);
  grid->setRowStretch(4, 1);

  connect(m_orientation, &QButtonGroup::idClicked, this, [this](int id) {
    showOrientation(id);
    emit modified();
  });
  connect(m_fileFilter, &QButtonGroup::idClicked, this, [this] { emit modified(); });
  connect(m_openFile, &QCheckBox::clicked, this, [this] { emit modified(); });
  connect(m_showFileDlg, &QCheckBox::clicked, this, [this] { emit modified(); });
  connect(browse, &QPushButton::clicked, this, &COptPage1::browseLocation);
  connect(reset, &QPushButton::clicked, this, &COptPage1::resetAllSettings);
}

void COptPage1::LoadSettings() {
  Settings settings(SettingKey::kMain);
  m_openFile->setChecked(settings.Int(setting_name::kOpenfile) != 0);
  m_showFileDlg->setChecked(settings.Int(setting_name::kShowfiledlg) != 0);
  int filter = settings.Int(setting_name::kFilefilter);
  QAbstractButton* filterButton = m_fileFilter->button(filter);
  // A stored value outside 0..2 leaves no radio chosen, as the page shows it.
  if (filterButton) {
    filterButton->setChecked(true);
  } else {
    m_fileFilter->setExclusive(false);
    for (QAbstractButton* b : m_fileFilter->buttons()) b->setChecked(false);
    m_fileFilter->setExclusive(true);
  }
  m_fileLocation->setText(QString::fromStdString(settings.Text(setting_name::kFileLocation)));
  int orientation = settings.Int(setting_name::kBOrientation) == 1 ? 1 : 0;
  m_orientation->button(orientation)->setChecked(true);
  showOrientation(orientation);
}

bool COptPage1::SaveSettings() {
  Settings settings(SettingKey::kMain);
  settings.SetInt(setting_name::kOpenfile, m_openFile->isChecked() ? 1 : 0);
  settings.SetInt(setting_name::kShowfiledlg, m_showFileDlg->isChecked() ? 1 : 0);
  if (m_fileFilter->checkedId() >= 0) settings.SetInt(setting_name::kFilefilter, m_fileFilter->checkedId());
  settings.SetInt(setting_name::kBOrientation, m_orientation->checkedId() == 1 ? 1 : 0);
  settings.SetText(setting_name::kFileLocation, m_fileLocation->text().toStdString());
  return true;
}

void COptPage1::showOrientation(int orientation) {
  m_orientationIcon = orientation == 1 ? kLandscapeIcon : kPortraitIcon;
  m_picture->setPixmap(OrientationPicture(orientation == 1));
}

void COptPage1::browseLocation() {
  QString dir = FileDialog::getExistingDirectory(this, tr("Default file location"),
                                                 m_fileLocation->text());
  if (dir.isEmpty()) return;
  m_fileLocation->setText(dir);
  emit modified();
}

void COptPage1::resetAllSettings() {
  if (MessageBox::question(this, tr("Do you want to reset your settings to their original defaults?")) !=
      QMessageBox::Yes) {
    return;
  }
  ResetAllSettings();
  LoadSettings();
}

}  // namespace folios::gui
