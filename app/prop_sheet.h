// CPropertySheet and CPropertyPage: a tabbed dialog of option pages, and
// CPropSheet, the "Preferences" sheet built on it.
//
// A page loads its settings the first time it is shown and writes them when
// the sheet is confirmed with OK or Apply; pages never shown write nothing.
// Before anything is written every shown page checks its values; when one
// refuses, the sheet shows that page and writes nothing. Cancel writes
// nothing (a reset done on a page has already happened).
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>
#include <vector>

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace folios::gui {

class CPropertyPage : public QWidget {
  Q_OBJECT

 public:
  explicit CPropertyPage(const QString& title, QWidget* parent = nullptr);

  const QString& title() const { return m_title; }
  bool loaded() const { return m_loaded; }
  // Loads the page's fields from the settings once, before it is first shown.
  void ensureLoaded();

  // Reads the page's settings into its controls.
  virtual void LoadSettings() = 0;
  // Checks the controls' values before anything of the sheet is written;
  // on a refusal the page has told the user why and returns false.
  virtual bool ValidateSettings() { return true; }
  // Writes the controls' values to the page's settings; false when they
  // could not be written (the page has told the user) and the sheet must
  // stay open.
  virtual bool SaveSettings() = 0;

 signals:
  // The user changed something: the sheet enables Apply.
  void modified();

 private:
  QString m_title;
  bool m_loaded = false;
};

class CPropertySheet : public QDialog {
  Q_OBJECT

 public:
  CPropertySheet(const QString& title, QWidget* parent);

  int pageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* page(int i) const { return m_pages[static_cast<size_t>(i)]; }
  QStringList pageTitles() const;
  QPushButton* applyButton() const;
  // Shows page `i`, loading it first.
  void setCurrentPage(int i);

 public slots:
  void accept() override;
  void apply();

 protected:
  // Adds a page at the end; the first page added is loaded at once.
  void addPage(CPropertyPage* page);

 private:
  // Validates, then saves, every loaded page; false when one refused.
  bool saveLoadedPages();
  void orderTabs();

  QTabWidget* m_tabs;
  QDialogButtonBox* m_buttons;
  std::vector<CPropertyPage*> m_pages;
};

// "Preferences": General, Source code layout, Documentation layout and
// Keywordfiles, in this order.
class CPropSheet : public CPropertySheet {
  Q_OBJECT

 public:
  explicit CPropSheet(QWidget* parent = nullptr);
};

}  // namespace folios::gui
