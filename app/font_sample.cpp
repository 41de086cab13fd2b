#include "font_sample.h"

#include <QPainter>

namespace folios::gui {

CFontSample::CFontSample(QWidget* parent, const QString& text, const QString& faceName, int size,
                         bool underline, bool bold, bool italic, Qt::Alignment alignment,
                         const QColor& textColor, bool noFill, const QColor& backgroundColor)
    : QWidget(parent),
      m_text(text),
      m_faceName(faceName),
      m_size(size),
      m_underline(underline),
      m_bold(bold),
      m_italic(italic),
      m_alignment(alignment),
      m_textColor(textColor),
      m_noFill(noFill),
      m_background(backgroundColor) {
  setObjectName(QStringLiteral("fontSample"));
  m_drawingEnabled = true;
  redraw();
}

QFont CFontSample::sampleFont() const {
  QFont font(m_faceName);
  // Sizes come from the settings store, which holds whatever was put there:
  // kept to what a sample can show (and clear of overflow).
  font.setPixelSize(2 * qBound(1, m_size, kLargestSampleSize));
  font.setBold(m_bold);
  font.setItalic(m_italic);
  font.setUnderline(m_underline);
  return font;
}

void CFontSample::setText(const QString& text) { m_text = text; redraw(); }
void CFontSample::setFaceName(const QString& faceName) { m_faceName = faceName; redraw(); }
void CFontSample::setSize(int size) { m_size = size; redraw(); }
void CFontSample::setUnderline(bool on) { m_underline = on; redraw(); }
void CFontSample::setBold(bool on) { m_bold = on; redraw(); }
void CFontSample::setItalic(bool on) { m_italic = on; redraw(); }
void CFontSample::setAlignment(Qt::Alignment alignment) { m_alignment = alignment; redraw(); }
void CFontSample::setTextColor(const QColor& color) { m_textColor = color; redraw(); }

QSize CFontSample::sizeHint() const {
  return QSize(160, qMax(24, 2 * qBound(1, m_size, kLargestSampleSize) + 8));
}

void CFontSample::redraw() {
  if (!m_drawingEnabled) return;
  ++m_drawCount;
  update();
}

void CFontSample::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!m_noFill) painter.fillRect(rect(), m_background);
  painter.setFont(sampleFont());
  painter.setPen(m_textColor);
  painter.setClipRect(rect());
  painter.drawText(rect(), static_cast<int>(m_alignment), m_text);
}

}  // namespace folios::gui
