#include "prop_sheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <map>

#include "keywordfiles_page.h"
#include "opt_page1.h"

namespace folios::gui {

namespace {

std::map<PreferencesSlot, PageFactory>& Registry() {
  static std::map<PreferencesSlot, PageFactory> registry;
  return registry;
}

}  // namespace

CPropertyPage::CPropertyPage(const QString& title, QWidget* parent)
    : QWidget(parent), m_title(title) {}

void CPropertyPage::ensureLoaded() {
  if (m_loaded) return;
  m_loaded = true;
  LoadSettings();
}

void RegisterPreferencesPage(PreferencesSlot slot, PageFactory factory) {
  Registry()[slot] = std::move(factory);
}

CPropSheet::CPropSheet(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("preferencesSheet"));
  setWindowTitle(tr("Preferences"));
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("pages"));
  m_buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(m_buttons);

  addPage(new COptPage1(this));
  for (PreferencesSlot slot : {PreferencesSlot::kSourceCodeLayout,
                               PreferencesSlot::kDocumentationLayout}) {
    auto it = Registry().find(slot);
    if (it != Registry().end() && it->second) addPage(it->second(this));
  }
  addPage(new CKeywordfiles(this));

  applyButton()->setEnabled(false);
  connect(m_buttons, &QDialogButtonBox::accepted, this, &CPropSheet::accept);
  connect(m_buttons, &QDialogButtonBox::rejected, this, &CPropSheet::reject);
  connect(applyButton(), &QPushButton::clicked, this, &CPropSheet::apply);
  connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
    if (index >= 0) page(index)->ensureLoaded();
  });
  page(0)->ensureLoaded();
}

void CPropSheet::addPage(CPropertyPage* page) {
  m_pages.push_back(page);
  m_tabs->addTab(page, page->title());
  connect(page, &CPropertyPage::modified, this, [this] { applyButton()->setEnabled(true); });
}

QStringList CPropSheet::pageTitles() const {
  QStringList titles;
  for (CPropertyPage* p : m_pages) titles << p->title();
  return titles;
}

QPushButton* CPropSheet::applyButton() const { return m_buttons->button(QDialogButtonBox::Apply); }

void CPropSheet::saveLoadedPages() {
  for (CPropertyPage* p : m_pages) {
    if (p->loaded()) p->SaveSettings();
  }
}

void CPropSheet::apply() {
  saveLoadedPages();
  applyButton()->setEnabled(false);
}

void CPropSheet::accept() {
  saveLoadedPages();
  QDialog::accept();
}

}  // namespace folios::gui
