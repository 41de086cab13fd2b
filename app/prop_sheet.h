// CPropSheet: the "Preferences" sheet, and CPropertyPage, the base of its
// pages.
//
// A page loads its settings the first time it is shown and writes them when
// the sheet is confirmed with OK or Apply; pages never shown write nothing.
// Cancel writes nothing (a reset done on a page has already happened).
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>
#include <functional>
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
  // Writes the controls' values to the page's settings.
  virtual void SaveSettings() = 0;

 signals:
  // The user changed something: the sheet enables Apply.
  void modified();

 private:
  QString m_title;
  bool m_loaded = false;
};

// Slots in the sheet's page order for pages that other parts of the program
// contribute; "General" comes first and "Keywordfiles" last.
enum class PreferencesSlot { kSourceCodeLayout, kDocumentationLayout };
using PageFactory = std::function<CPropertyPage*(QWidget* parent)>;
// Adds a page to every Preferences sheet made afterwards.
void RegisterPreferencesPage(PreferencesSlot slot, PageFactory factory);

class CPropSheet : public QDialog {
  Q_OBJECT

 public:
  explicit CPropSheet(QWidget* parent = nullptr);

  int pageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* page(int i) const { return m_pages[static_cast<size_t>(i)]; }
  QStringList pageTitles() const;
  QPushButton* applyButton() const;

 public slots:
  void accept() override;
  void apply();

 private:
  void addPage(CPropertyPage* page);
  void saveLoadedPages();

  QTabWidget* m_tabs;
  QDialogButtonBox* m_buttons;
  std::vector<CPropertyPage*> m_pages;
};

}  // namespace folios::gui
