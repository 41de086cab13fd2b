// CChangeFontDlg: the "Change font" dialog of the "Fonts" page: size,
// styles and colours of one section of listing text.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;

namespace folios::gui {

// Size, styles and colour indexes of one section of listing text.
struct TextStyle {
  int fontsize = 10;
  bool underline = false;
  bool bold = false;
  bool italic = false;
  int forecolor = 1;
  int back_color = 8;
};

class CChangeFontDlg : public QDialog {
  Q_OBJECT

 public:
  // The sizes offered, in points.
  static constexpr int kSmallestSize = 8;
  static constexpr int kLargestSize = 16;

  // Shows `style`: a size or colour the lists do not hold shows no entry.
  explicit CChangeFontDlg(const TextStyle& style, QWidget* parent = nullptr);

  // The style chosen; a list left without an entry keeps the value given.
  TextStyle style() const;

 private:
  TextStyle m_initial;
  QCheckBox* m_bold;
  QCheckBox* m_italic;
  QCheckBox* m_underline;
  QComboBox* m_size;
  QComboBox* m_foreColor;
  QComboBox* m_backColor;
};

}  // namespace folios::gui
