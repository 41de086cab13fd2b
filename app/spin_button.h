// CSpinButton: a pair of small up and down arrows beside an edit field (its
// buddy) that step the number in the field within a range.
//
// The field stays an ordinary text field: what the user types there is kept
// as typed, and only the arrows (and the Up and Down keys in the field) are
// held to the range.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace folios::gui {

class CSpinButton : public QWidget {
  Q_OBJECT

 public:
  // `buddy` must outlive the spin button (both are children of one page).
  CSpinButton(QLineEdit* buddy, int lower, int upper, QWidget* parent = nullptr);

  int lower() const { return m_lower; }
  int upper() const { return m_upper; }
  void setRange(int lower, int upper);
  QLineEdit* buddy() const { return m_buddy; }

 public slots:
  // The buddy's number plus one (minus one), held to the range; a field
  // without a number counts as 0.
  void stepUp();
  void stepDown();

 signals:
  // An arrow (or arrow key) has put a new number into the buddy.
  void stepped();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void stepBy(int delta);

  QLineEdit* m_buddy;
  QToolButton* m_up;
  QToolButton* m_down;
  int m_lower;
  int m_upper;
};

}  // namespace folios::gui
