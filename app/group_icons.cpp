#include "group_icons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

namespace folios::gui {

namespace {

struct GroupLook {
  const char* label;
  QColor band;
};

const GroupLook kLooks[] = {
    {"C", QColor(0x1f, 0x5f, 0xbf)},    // C++ sources
    {"H", QColor(0x6a, 0x3d, 0x9a)},    // C++ headers
    {"CLS", QColor(0x2e, 0x8b, 0x57)},  // VB class modules
    {"BAS", QColor(0x3c, 0xa0, 0x3c)},  // VB modules
    {"FRM", QColor(0x8a, 0xb8, 0x2a)},  // VB forms
    {"J", QColor(0xd0, 0x6a, 0x10)},    // Java
    {"\xce\xa3", QColor(0x55, 0x55, 0x55)},  // total
};

// A sheet of paper with a folded corner, a coloured band at the bottom and
// the label on it; drawn at `size` pixels.
QPixmap DrawPage(int size, const GroupLook& look) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size / 32.0;
  QPainterPath page;
  page.moveTo(5 * s, 1 * s);
  page.lineTo(20 * s, 1 * s);
  page.lineTo(27 * s, 8 * s);
  page.lineTo(27 * s, 31 * s);
  page.lineTo(5 * s, 31 * s);
  page.closeSubpath();
  p.setPen(QPen(QColor(0x60, 0x60, 0x60), qMax(1.0, s)));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawLine(QPointF(20 * s, 1 * s), QPointF(20 * s, 8 * s));
  p.drawLine(QPointF(20 * s, 8 * s), QPointF(27 * s, 8 * s));
  if (size >= 24) {
    p.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), s));
    for (int y = 11; y <= 15; y += 2) p.drawLine(QPointF(8 * s, y * s), QPointF(24 * s, y * s));
  }
  QRectF band(2 * s, 17 * s, 28 * s, 12 * s);
  p.setPen(Qt::NoPen);
  p.setBrush(look.band);
  p.drawRoundedRect(band, 2 * s, 2 * s);
  QFont font;
  font.setBold(true);
  QString label = QString::fromUtf8(look.label);
  font.setPixelSize(qMax(6, static_cast<int>((label.size() > 1 ? 8.5 : 11) * s)));
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(band, Qt::AlignCenter, label);
  return pixmap;
}

}  // namespace

QIcon GroupIcon(int image) {
  if (image < 0 || image > kTotalImage) image = kTotalImage;
  QIcon icon;
  icon.addPixmap(DrawPage(16, kLooks[image]));
  icon.addPixmap(DrawPage(32, kLooks[image]));
  icon.addPixmap(DrawPage(64, kLooks[image]));
  icon.addPixmap(DrawPage(128, kLooks[image]));
  return icon;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 96, 128}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    // Three fanned pages: the folios the program makes.
    const QColor colors[] = {QColor(0xd0, 0x6a, 0x10), QColor(0x2e, 0x8b, 0x57),
                             QColor(0x1f, 0x5f, 0xbf)};
    for (int i = 0; i < 3; ++i) {
      p.save();
      p.translate(16 * s, 30 * s);
      p.rotate(-18 + 18 * i);
      QRectF sheet(-9 * s, -27 * s, 18 * s, 24 * s);
      p.setPen(QPen(QColor(0x40, 0x40, 0x40), qMax(1.0, 0.8 * s)));
      p.setBrush(Qt::white);
      p.drawRect(sheet);
      p.setPen(QPen(colors[i], 1.6 * s));
      for (int line = 0; line < 4; ++line) {
        qreal y = -23 * s + line * 4 * s;
        p.drawLine(QPointF(-6 * s, y), QPointF((line % 2 ? 2 : 5) * s, y));
      }
      p.restore();
    }
    icon.addPixmap(pixmap);
  }
  return icon;
}

QPixmap OrientationPicture(bool landscape) {
  const int w = landscape ? 44 : 32;
  const int h = landscape ? 32 : 44;
  // Drawn for the screen's pixels, so it stays sharp on a scaled desktop.
  const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
  QPixmap pixmap(QSize(48, 48) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  QRect sheet((48 - w) / 2, (48 - h) / 2, w - 1, h - 1);
  p.setPen(QColor(0x40, 0x40, 0x40));
  p.setBrush(Qt::white);
  p.drawRect(sheet);
  p.setPen(QColor(0x1f, 0x5f, 0xbf));
  for (int y = sheet.top() + 5; y < sheet.bottom() - 3; y += 4) {
    p.drawLine(sheet.left() + 4, y, sheet.right() - 4, y);
  }
  return pixmap;
}

}  // namespace folios::gui
