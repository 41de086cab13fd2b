#include "about_dlg.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data_files.h"
#include "dialog_keys.h"
#include "folios_version.h"
#include "group_icons.h"
#include "registry.h"

namespace folios::gui {

namespace {

QString Native(const std::string& path) {
  return QDir::toNativeSeparators(QString::fromStdString(path));
}

// A path the user may want to copy: selectable, never wrapped mid-name.
QLabel* PathLabel(const QString& path, const char* name, QWidget* parent) {
  auto* label = new QLabel(path, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  return label;
}

}  // namespace

QString CAboutDlg::versionText() {
  return tr("Lumentra Folios Version %1").arg(QString::fromLatin1(kVersion));
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(tr("About Lumentra Folios"));
  auto* icon = new QLabel(this);
  icon->setPixmap(ProgramIcon().pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);
  auto* version = new QLabel(versionText(), this);
  version->setObjectName(QStringLiteral("versionLabel"));
  QFont bigger = version->font();
  bigger.setBold(true);
  bigger.setPointSizeF(bigger.pointSizeF() * 1.25);
  version->setFont(bigger);
  auto* purpose = new QLabel(tr("Source code listings, documentation from tagged comments and "
                                "a beautifier for C, C++, Java and Visual Basic."),
                             this);
  purpose->setWordWrap(true);
  auto* licence = new QLabel(tr("Copyright 2026 Lumentra Folios developers.\nAll rights "
                                "reserved. Lumentra Folios is distributed under the terms its "
                                "developers grant with each copy; no other licence is given."),
                             this);
  licence->setObjectName(QStringLiteral("licenceLabel"));
  licence->setWordWrap(true);

  auto* places = new QFormLayout;
  places->addRow(tr("Shipped data:"),
                 PathLabel(Native(ShippedDataDirectory()), "shippedDataLabel", this));
  places->addRow(tr("Your data files:"),
                 PathLabel(Native(UserDataDirectory()), "userDataLabel", this));
  places->addRow(tr("Settings:"), PathLabel(Native(CRegistry::StoreFile()), "settingsLabel", this));

  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* text = new QVBoxLayout;
  text->addWidget(version);
  text->addWidget(purpose);
  text->addSpacing(6);
  text->addWidget(licence);
  text->addSpacing(6);
  text->addLayout(places);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(text, 1);
  top->addWidget(ok, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  // The longest path sets the width; the prose wraps within it.
  purpose->setMinimumWidth(360);
  ok->setFocus();
}

void CAboutDlg::keyPressEvent(QKeyEvent* event) {
  // Only the buttons act.
  if (!SwallowEnterAndEscape(event)) QDialog::keyPressEvent(event);
}

}  // namespace folios::gui
