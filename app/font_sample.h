// CFontSample: a small area that shows a text in a given face, size, style
// and colours, for option pages that let the user pick a text style.
//
// Every setter except setNoFill and setBackgroundColor repaints at once;
// those two only take effect with the next drawing.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace folios::gui {

class CFontSample : public QWidget {
  Q_OBJECT

 public:
  explicit CFontSample(QWidget* parent = nullptr, const QString& text = QString(),
                       const QString& faceName = QStringLiteral("Courier New"), int size = 10,
                       bool underline = false, bool bold = false, bool italic = false,
                       Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop,
                       const QColor& textColor = Qt::black, bool noFill = false,
                       const QColor& backgroundColor = Qt::white);

  void setText(const QString& text);
  void setFaceName(const QString& faceName);
  // Sizes above this are drawn at this size.
  static constexpr int kLargestSampleSize = 200;

  // The font is made with a height of twice `size` pixels (size held to
  // 1..kLargestSampleSize).
  void setSize(int size);
  void setUnderline(bool on);
  void setBold(bool on);
  void setItalic(bool on);
  void setAlignment(Qt::Alignment alignment);
  void setTextColor(const QColor& color);
  // When set, the background is left as it is and the text drawn over it.
  void setNoFill(bool on) { m_noFill = on; }
  void setBackgroundColor(const QColor& color) { m_background = color; }

  const QString& text() const { return m_text; }
  bool noFill() const { return m_noFill; }
  const QColor& textColor() const { return m_textColor; }
  const QColor& backgroundColor() const { return m_background; }
  // The font the next drawing uses.
  QFont sampleFont() const;
  // How many times the sample has been drawn (setters that redraw add one).
  int drawCount() const { return m_drawCount; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void redraw();

  QString m_text;
  QString m_faceName;
  int m_size;
  bool m_underline;
  bool m_bold;
  bool m_italic;
  Qt::Alignment m_alignment;
  QColor m_textColor;
  bool m_noFill;
  QColor m_background;
  bool m_drawingEnabled = false;
  int m_drawCount = 0;
};

}  // namespace folios::gui
