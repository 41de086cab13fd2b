// The windows on any desktop: legible in a dark palette, and sharp and
// uncut on a scaled screen. CTest runs this test twice: at scale 1 and with
// QT_SCALE_FACTOR=2.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>

#include "advanced_format.h"
#include "dialog_catalogue.h"
#include "font_sample.h"
#include "gui_test_support.h"
#include "lfx_view.h"
#include "main_frame.h"
#include "main_window_fixture.h"
#include "prop_sheet.h"

using namespace folios;
using namespace folios::gui;
using folios::gui::test::GuiTestEnvironment;
using folios::gui::test::MainWindowFixture;
using folios::gui::test::Write;

namespace {

double Luminance(const QColor& c) {
  auto channel = [](double v) {
    v /= 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

// The contrast ratio of two colours, from 1 (the same) to 21.
double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour behind `w`: its own fill, or that of the nearest ancestor
// that fills its background.
QColor Behind(const QWidget* w) {
  for (const QWidget* at = w; at; at = at->parentWidget()) {
    if (at->autoFillBackground() || at->isWindow())
      return at->palette().color(at->backgroundRole());
  }
  return w->palette().color(QPalette::Window);
}

// Text on `window` whose contrast with what lies behind it is below 4.5,
// too low to read. Disabled controls are faint on purpose, by the desktop's
// palette.
QStringList Illegible(const QString& name, QWidget* window) {
  QStringList found;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window) || !w->isEnabled()) continue;
    QColor text;
    QColor back;
    if (auto* sample = qobject_cast<CFontSample*>(w)) {
      if (sample->text().trimmed().isEmpty()) continue;
      text = sample->textColor();
      back = sample->noFill() ? Behind(sample->parentWidget()) : sample->backgroundColor();
    } else if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)) {
      text = w->palette().color(w->foregroundRole());
      back = Behind(w);
    } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
      text = view->palette().color(QPalette::Text);
      back = view->palette().color(QPalette::Base);
    } else {
      continue;
    }
    if (Contrast(text, back) < 4.5) {
      found << QString("%1: %2 %3: %4 on %5")
                   .arg(name, w->metaObject()->className(), w->objectName(), text.name(),
                        back.name());
    }
  }
  return found;
}

}  // namespace

class TestAppearance : public QObject, protected MainWindowFixture {
  Q_OBJECT

 private:
  QPalette m_lightPalette;

 private slots:
  void initTestCase() {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    m_lightPalette = QApplication::palette();
  }
  void init() {
    openMainWindow();
    Write(m_dir->File("a.c"), "int a;\n");
    m_frame->view()->openPaths({path("a.c")});
  }
  void cleanup() {
    QApplication::setPalette(m_lightPalette);
    closeMainWindow();
  }

  void everyPageIsLegibleInADarkPaletteAndALightOne() {
    for (const QPalette& palette : {DarkPalette(), m_lightPalette}) {
      QApplication::setPalette(palette);
      m_frame->show();
      QStringList faults = Illegible("main window", m_frame.get());
      ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
        dialog->show();
        faults += Illegible(name, dialog);
        dialog->hide();
      });
      QVERIFY2(faults.isEmpty(), qPrintable("\n" + faults.join('\n')));
    }
  }

  void theFormattingSampleFollowsThePalette() {
    CAdvanced_C_Format_sheet sheet(m_frame.get());
    sheet.show();
    auto* frame = sheet.findChild<QFrame*>("sampleFrame");
    auto* line = sheet.findChild<CFontSample*>("sampleLine1");
    QCOMPARE(Behind(line->parentWidget()).name(),
             QApplication::palette().color(QPalette::Base).name());
    QApplication::setPalette(DarkPalette());
    QCoreApplication::processEvents();
    // Already open, it changes with the desktop.
    QCOMPARE(frame->palette().color(frame->backgroundRole()).name(), QString("#1e1e1e"));
    QCOMPARE(line->textColor().name(), QString("#e8e8e8"));
    QVERIFY(line->noFill());
  }

  // At scale 2 the pictures are drawn for the screen's pixels.
  void picturesAreSharpAtTheScreensScale() {
    const qreal ratio = qApp->devicePixelRatio();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2") QCOMPARE(ratio, 2.0);
    QStringList blurred;
    ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
      dialog->show();
      for (QLabel* label : dialog->findChildren<QLabel*>()) {
        const QPixmap pixmap = label->pixmap();
        if (!pixmap.isNull() && label->isVisibleTo(dialog) && pixmap.devicePixelRatio() < ratio) {
          blurred << name + ": " + label->objectName();
        }
      }
      dialog->hide();
    });
    QVERIFY2(blurred.isEmpty(), qPrintable(blurred.join(", ")));
  }

  void textsAreNotCutAtTheScreensScale() {
    QStringList cut;
    ForEachDialog(m_frame.get(), path("a.c"), [&](const QString& name, QDialog* dialog) {
      dialog->show();
      for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(dialog)) continue;
        int needed = 0;
        if (auto* button = qobject_cast<QPushButton*>(w)) {
          needed = button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&'));
        } else if ((qobject_cast<QAbstractButton*>(w) &&
                    !static_cast<QAbstractButton*>(w)->text().isEmpty()) ||
                   (qobject_cast<QLabel*>(w) && !static_cast<QLabel*>(w)->wordWrap())) {
          needed = w->minimumSizeHint().width();
        }
        if (w->width() < needed) cut << name + ": " + w->objectName();
      }
      dialog->hide();
    });
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(", ")));
  }
};

QTEST_MAIN(TestAppearance)
#include "test_appearance.moc"
