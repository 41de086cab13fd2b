#include "color_choice.h"

#include <QComboBox>
#include <QCoreApplication>
#include <string>

#include "rtf_colors.h"

namespace folios::gui {

namespace {

// The colour vocabulary in the user's language; the files keep the names
// of the table.
const char* const kColorLabels[kNamedColorCount] = {
    QT_TRANSLATE_NOOP("Colors", "black"),      QT_TRANSLATE_NOOP("Colors", "blue"),
    QT_TRANSLATE_NOOP("Colors", "türkis"),     QT_TRANSLATE_NOOP("Colors", "light-green"),
    QT_TRANSLATE_NOOP("Colors", "pink"),       QT_TRANSLATE_NOOP("Colors", "red"),
    QT_TRANSLATE_NOOP("Colors", "yellow"),     QT_TRANSLATE_NOOP("Colors", "white"),
    QT_TRANSLATE_NOOP("Colors", "dark blue"),  QT_TRANSLATE_NOOP("Colors", "blue green"),
    QT_TRANSLATE_NOOP("Colors", "dark green"), QT_TRANSLATE_NOOP("Colors", "violet"),
    QT_TRANSLATE_NOOP("Colors", "dark red"),   QT_TRANSLATE_NOOP("Colors", "ocher"),
};

}  // namespace

QString ColorLabel(int index) {
  if (index < 1 || index > kNamedColorCount) return QString::fromStdString(ColorDisplayName(index));
  return QCoreApplication::translate("Colors", kColorLabels[index - 1]);
}

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
