// The colour vocabulary on screen: the named colours of listing documents in
// drop-down lists, and the screen colour of a colour index.
#pragma once

#include <QColor>
#include <QString>

class QComboBox;

namespace folios::gui {

// The name of colour index 1..14 as people read it ("türkis" with a real
// ü); empty for any other index.
QString ColorLabel(int index);
// The index named by `name` (either spelling of "türkis"); 0 for no name.
int ColorIndexOfName(const QString& name);

// Fills `combo` with the fourteen colour names, in index order.
void FillColorNames(QComboBox* combo);
// Selects the entry of colour `index`; an index without a name leaves no
// entry selected.
void SelectColor(QComboBox* combo, int index);
// The index of the selected entry, or `none` when no entry is selected.
int SelectedColor(const QComboBox* combo, int none);

// The screen colour of colour index 1..16; `fallback` for any other index
// (0 is the document's automatic colour).
QColor ScreenColor(int index, const QColor& fallback);

}  // namespace folios::gui
