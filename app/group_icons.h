// The program's icons, drawn in code: one per file group (a page with a
// coloured band and a short label), the statistics total, the program icon
// and the two page orientations.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace folios::gui {

// Images 0..5 are the file groups (the FileGroup order), 6 the total row.
inline constexpr int kTotalImage = 6;
QIcon GroupIcon(int image);

QIcon ProgramIcon();

// A page standing upright (portrait) or lying on its side (landscape).
QPixmap OrientationPicture(bool landscape);

}  // namespace folios::gui
