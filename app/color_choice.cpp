#include "color_choice.h"

#include <QComboBox>
#include <string>

#include "rtf_colors.h"

namespace folios::gui {

QString ColorLabel(int index) { return QString::fromStdString(ColorDisplayName(index)); }

int ColorIndexOfName(const QString& name) {
  return std::stoi(ColorIndex(name.toStdString()));
}

void FillColorNames(QComboBox* combo) {
  for (int i = 1; i <= kNamedColorCount; ++i) combo->addItem(ColorLabel(i), i);
}

void SelectColor(QComboBox* combo, int index) { combo->setCurrentIndex(combo->findData(index)); }

int SelectedColor(const QComboBox* combo, int none) {
  return combo->currentIndex() < 0 ? none : combo->currentData().toInt();
}

QColor ScreenColor(int index, const QColor& fallback) {
  if (index < 1 || index > kColorTableSize) return fallback;
  const RtfColor c = ColorOfIndex(index);
  return QColor(c.red, c.green, c.blue);
}

}  // namespace folios::gui
