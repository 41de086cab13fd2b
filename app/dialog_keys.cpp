#include "dialog_keys.h"

#include <QKeyEvent>

namespace folios::gui {

bool SwallowEnterAndEscape(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return true;
    default:
      return false;
  }
}

}  // namespace folios::gui
