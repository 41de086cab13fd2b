// CKeywordDlg: the "Edit keyword" dialog: one keyword's text, styles and
// colours, whether its format goes to every keyword, and "&Default...",
// which makes the shown format the one new keywords get.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace folios::gui {

// A keyword as the dialog edits it; colours are indexes (0: none chosen).
struct KeywordFormat {
  QString keyword;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int fore = 0;
  int back = 0;
};

class CKeywordDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CKeywordDlg(const KeywordFormat& initial, QWidget* parent = nullptr);

  // The format for new keywords (the "\template_kw" settings).
  static KeywordFormat TemplateFormat();

  // The values shown now. A colour list without an entry gives the colour
  // the dialog was opened with.
  KeywordFormat format() const;
  // "&Use current keyword format for all keywords" is ticked.
  bool applyToAll() const;

 public slots:
  // Refuses an empty keyword and equal colours with a message; otherwise
  // closes the dialog with OK.
  void accept() override;

 private slots:
  // Asks whether the shown format becomes the one for new keywords.
  void makeDefault();

 private:
  KeywordFormat m_initial;
  QLineEdit* m_keyword;
  QCheckBox* m_bold;
  QCheckBox* m_italic;
  QCheckBox* m_underline;
  QComboBox* m_fore;
  QComboBox* m_back;
  QCheckBox* m_all;
};

}  // namespace folios::gui
