#include "doc_options_code.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "color_choice.h"
#include "font_sample.h"
#include "page_controls.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios::gui {

namespace {

struct SectionInfo {
  const setting_name::StyleSettingNames& names;  // under "\doc"
  const char* title;
  const char* previewText;  // the section's name, in its own style
  const char* face;
  const char* name;    // object names: NAMEPreview, NAMEChangeButton
};

constexpr SectionInfo kSections[CDocOptionsCode::kSectionCount] = {
    {setting_name::kCodeStyle, QT_TRANSLATE_NOOP("folios::gui::CDocOptionsCode", "Code"),
     QT_TRANSLATE_NOOP("folios::gui::CDocOptionsCode", "Source code"), "Courier New", "code"},
    {setting_name::kCommentStyle, QT_TRANSLATE_NOOP("folios::gui::CDocOptionsCode", "Comment"),
     QT_TRANSLATE_NOOP("folios::gui::CDocOptionsCode", "Comment"), "Courier New", "comment"},
    {setting_name::kHeaderStyle, QT_TRANSLATE_NOOP("folios::gui::CDocOptionsCode", "Header"),
     QT_TRANSLATE_NOOP("folios::gui::CDocOptionsCode", "Header"), "Arial", "header"},
};

}  // namespace

CDocOptionsCode::CDocOptionsCode(QWidget* parent) : CPropertyPage(tr("Fonts"), parent) {
  setObjectName(QStringLiteral("fontsPage"));
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < kSectionCount; ++i) {
    const SectionInfo& info = kSections[i];
    auto* box = new QGroupBox(tr(info.title), this);
    auto* row = new QHBoxLayout(box);
    auto* sample = new CFontSample(box, tr(info.previewText), QString::fromLatin1(info.face),
                                   m_styles[i].fontsize);
    sample->setObjectName(QString::fromLatin1(info.name) + QStringLiteral("Preview"));
    // Room for the largest size the dialog offers (16 points, 32 pixels).
    sample->setMinimumSize(220, 2 * CChangeFontDlg::kLargestSize + 8);
    m_previews[static_cast<size_t>(i)] = sample;
    QPushButton* change = NamedButton(
        tr("change"), (std::string(info.name) + "ChangeButton").c_str(), box);
    row->addWidget(sample, 1);
    row->addWidget(change, 0, Qt::AlignVCenter);
    layout->addWidget(box);
    connect(change, &QPushButton::clicked, this, [this, i] { changeFont(i); });
  }
  layout->addStretch(1);
}

void CDocOptionsCode::LoadSettings() {
  Settings doc(SettingKey::kDoc);
  for (int i = 0; i < kSectionCount; ++i) {
    const SectionInfo& info = kSections[i];
    TextStyle& style = m_styles[static_cast<size_t>(i)];
    style.fontsize = doc.Int(info.names.fontsize);
    style.underline = doc.Int(info.names.underline) != 0;
    style.bold = doc.Int(info.names.bold) != 0;
    style.italic = doc.Int(info.names.italic) != 0;
    style.forecolor = doc.Int(info.names.forecolor);
    style.back_color = doc.Int(info.names.back_color);
    showStyle(static_cast<Section>(i));
  }
}

bool CDocOptionsCode::SaveSettings() {
  Settings doc(SettingKey::kDoc);
  for (int i = 0; i < kSectionCount; ++i) {
    const SectionInfo& info = kSections[i];
    const TextStyle& style = m_styles[static_cast<size_t>(i)];
    doc.SetInt(info.names.fontsize, style.fontsize);
    doc.SetInt(info.names.underline, style.underline ? 1 : 0);
    doc.SetInt(info.names.bold, style.bold ? 1 : 0);
    doc.SetInt(info.names.italic, style.italic ? 1 : 0);
    doc.SetInt(info.names.forecolor, style.forecolor);
    doc.SetInt(info.names.back_color, style.back_color);
  }
  return true;
}

void CDocOptionsCode::changeFont(int section) {
  if (section < 0 || section >= kSectionCount) return;
  CChangeFontDlg dialog(m_styles[static_cast<size_t>(section)], window());
  if (dialog.exec() != QDialog::Accepted) return;
  m_styles[static_cast<size_t>(section)] = dialog.style();
  showStyle(static_cast<Section>(section));
  emit modified();
}

void CDocOptionsCode::showStyle(Section section) {
  const TextStyle& style = m_styles[section];
  CFontSample* sample = m_previews[section];
  // Index 0 is the document's automatic colour: black text on white.
  sample->setBackgroundColor(ScreenColor(style.back_color, Qt::white));
  sample->setSize(style.fontsize);
  sample->setBold(style.bold);
  sample->setItalic(style.italic);
  sample->setUnderline(style.underline);
  sample->setTextColor(ScreenColor(style.forecolor, Qt::black));
}

CPropDlgDoc::CPropDlgDoc(QWidget* parent) : CPropertySheet(tr("Document options"), parent) {
  setObjectName(QStringLiteral("documentOptionsSheet"));
  addPage(new CDocOptionsCode(this));
}

}  // namespace folios::gui
