// CEditKeywords: the "Edit Keywords" page, which shows one keyword file as a
// list and lets the user load another, add, change and delete keywords;
// and CPropKeywords, the sheet of that one page. Confirming the sheet
// writes the list back to the file.
//
// The shipped keyword files are never written: an edited shipped file is
// saved under the same name in the user's data directory, which listings
// then read in its place. A file that could not be read completely (wrong
// header, a bad record) is never written over either.
#pragma once

#include <QString>
#include <vector>

#include "keyword_file.h"
#include "prop_sheet.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace folios::gui {

struct KeywordFormat;

class CEditKeywords : public CPropertyPage {
  Q_OBJECT

 public:
  enum Column { kKeyword, kBold, kItalic, kUnderline, kFontColor, kBackColor, kColumnCount };

  explicit CEditKeywords(QWidget* parent = nullptr);

  void LoadSettings() override;
  // Stores the current file in kwfile and writes the list to it.
  bool SaveSettings() override;

  const QString& currentFile() const { return m_currentFile; }
  const std::vector<KeywordRow>& rows() const { return m_rows; }
  // The list can be changed and written (its file was read completely).
  bool editable() const { return m_editable; }

 public slots:
  void loadKeywordFile();
  void addKeyword();
  // Edits the selected row; nothing happens without a selected row.
  void editKeyword();
  // Removes the selected row and selects the row that takes its place.
  void deleteKeyword();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Reads `path` into the list as the editor reads keyword files; false
  // (with the message shown) when its header is wrong, leaving everything
  // as it was.
  bool readFile(const QString& path);
  void showRows();
  void showCount();
  void setRow(int row, const KeywordFormat& format);
  int selectedRow() const;
  void selectRow(int row);
  void changed();

  QString m_currentFile;
  std::vector<KeywordRow> m_rows;
  bool m_editable = true;
  bool m_modified = false;
  QLineEdit* m_path;
  QGroupBox* m_group;
  QTreeWidget* m_list;
  QPushButton* m_add;
  QPushButton* m_delete;
};

class CPropKeywords : public CPropertySheet {
  Q_OBJECT

 public:
  explicit CPropKeywords(QWidget* parent = nullptr);
};

// Where the keyword editor writes `path`: the path itself, or for a shipped
// data file the file of that name in the user's data directory.
QString KeywordFileWritePath(const QString& path);

}  // namespace folios::gui
