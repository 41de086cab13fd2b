#include "prop_sheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "doc_opt.h"
#include "keywordfiles_page.h"
#include "opt_page1.h"
#include "source_opt.h"

namespace folios::gui {

CPropertyPage::CPropertyPage(const QString& title, QWidget* parent)
    : QWidget(parent), m_title(title) {}

void CPropertyPage::ensureLoaded() {
  if (m_loaded) return;
  m_loaded = true;
  LoadSettings();
}

CPropertySheet::CPropertySheet(const QString& title, QWidget* parent) : QDialog(parent) {
  setWindowTitle(title);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("pages"));
  // Every page title stays in sight.
  m_tabs->setUsesScrollButtons(false);
  m_buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  m_buttons->setObjectName(QStringLiteral("sheetButtons"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(m_buttons);

  applyButton()->setEnabled(false);
  connect(m_buttons, &QDialogButtonBox::accepted, this, &CPropertySheet::accept);
  connect(m_buttons, &QDialogButtonBox::rejected, this, &CPropertySheet::reject);
  connect(applyButton(), &QPushButton::clicked, this, &CPropertySheet::apply);
  connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
    if (index >= 0) page(index)->ensureLoaded();
  });
}

void CPropertySheet::addPage(CPropertyPage* page) {
  m_pages.push_back(page);
  m_tabs->addTab(page, page->title());
  orderTabs();
  connect(page, &CPropertyPage::modified, this, [this] { applyButton()->setEnabled(true); });
  if (m_pages.size() == 1) page->ensureLoaded();
}

void CPropertySheet::orderTabs() {
  // Tab goes from the page titles through the pages, then to the buttons,
  // as they stand on the screen.
  QList<QWidget*> order;
  QList<QWidget*> buttons;
  for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
    if (w->focusPolicy() == Qt::NoFocus) continue;  // not in the order Tab follows
    if (m_buttons->isAncestorOf(w)) {
      buttons << w;
    } else if (m_tabs->isAncestorOf(w)) {
      order << w;
    }
  }
  order += buttons;
  for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void CPropertySheet::setCurrentPage(int i) { m_tabs->setCurrentIndex(i); }

QStringList CPropertySheet::pageTitles() const {
  QStringList titles;
  for (CPropertyPage* p : m_pages) titles << p->title();
  return titles;
}

QPushButton* CPropertySheet::applyButton() const {
  return m_buttons->button(QDialogButtonBox::Apply);
}

bool CPropertySheet::saveLoadedPages() {
  for (size_t i = 0; i < m_pages.size(); ++i) {
    if (!m_pages[i]->loaded()) continue;
    if (!m_pages[i]->ValidateSettings()) {
      m_tabs->setCurrentIndex(static_cast<int>(i));
      return false;
    }
  }
  for (size_t i = 0; i < m_pages.size(); ++i) {
    if (m_pages[i]->loaded() && !m_pages[i]->SaveSettings()) {
      m_tabs->setCurrentIndex(static_cast<int>(i));
      return false;
    }
  }
  return true;
}

void CPropertySheet::apply() {
  if (saveLoadedPages()) applyButton()->setEnabled(false);
}

void CPropertySheet::accept() {
  if (saveLoadedPages()) QDialog::accept();
}

CPropSheet::CPropSheet(QWidget* parent) : CPropertySheet(tr("Preferences"), parent) {
  setObjectName(QStringLiteral("preferencesSheet"));
  addPage(new COptPage1(this));
  addPage(new CSourceOpt(this));
  addPage(new CDocOpt(this));
  addPage(new CKeywordfiles(this));
}

}  // namespace folios::gui
