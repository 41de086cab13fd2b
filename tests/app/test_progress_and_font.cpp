// The progress dialog (owner disabling, figures, cancel) and the font
// sample (font, colours, background fill, redrawing).
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include "font_sample.h"
#include "gui_test_support.h"
#include "progress_dlg.h"

using namespace folios::gui;

namespace {

// How many pixels of `image` have exactly `color`.
int CountPixels(const QImage& image, const QColor& color) {
  int count = 0;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    for (int x = 0; x < rgb.width(); ++x) count += rgb.pixelColor(x, y) == color ? 1 : 0;
  }
  return count;
}

}  // namespace

class TestProgressAndFont : public QObject {
  Q_OBJECT

 private slots:
  void progressDisablesItsOwnerWhileShown() {
    QMainWindow owner;
    owner.show();
    {
      CProgressDlg progress(&owner);
      progress.Create(&owner);
      QVERIFY(progress.isVisible());
      QVERIFY(!owner.isEnabled());
      QVERIFY(progress.isEnabled());
      QCOMPARE(progress.owner(), &owner);
      progress.Destroy();
      QVERIFY(owner.isEnabled());
      QVERIFY(!progress.isVisible());
    }
    // An owner that was already disabled stays disabled afterwards.
    owner.setEnabled(false);
    {
      CProgressDlg progress(&owner);
      progress.Create(&owner);
    }
    QVERIFY(!owner.isEnabled());
  }

  void destroyingTheDialogEnablesTheOwnerAgain() {
    QMainWindow owner;
    auto* progress = new CProgressDlg(&owner);
    progress->Create(&owner);
    QVERIFY(!owner.isEnabled());
    delete progress;
    QVERIFY(owner.isEnabled());
  }

  void showsCaptionStatusAndPercent_data() {
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("percent");
    QTest::newRow("half way") << 0 << 4 << 1 << 2 << "50%";
    QTest::newRow("end shows 100") << 0 << 4 << 1 << 4 << "100%";
    QTest::newRow("past the end wraps") << 0 << 4 << 1 << 6 << "50%";
    QTest::newRow("empty range does not divide by zero") << 0 << 0 << 1 << 1 << "100%";
    QTest::newRow("offset range") << 10 << 20 << 5 << 1 << "50%";
  }
  void showsCaptionStatusAndPercent() {
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, step);
    QFETCH(int, steps);
    QFETCH(QString, percent);
    CProgressDlg progress;
    QCOMPARE(progress.percentLabel(), QString(" 0 %"));
    QCOMPARE(progress.windowTitle(), QString());
    progress.SetCaption("Add files to main area");
    progress.SetRange(lower, upper);
    progress.SetStep(step);
    for (int i = 0; i < steps; ++i) progress.StepIt();
    progress.SetStatus("/src/a.cpp");
    QCOMPARE(progress.windowTitle(), QString("Add files to main area"));
    QCOMPARE(progress.statusText(), QString("/src/a.cpp"));
    QCOMPARE(progress.percentLabel(), percent);
    QVERIFY(progress.barValue() >= lower && progress.barValue() <= qMax(lower, upper));
  }

  void cancelIsSeenOnceByTheNextCheck() {
    CProgressDlg progress;
    progress.Create(nullptr);
    QVERIFY(!progress.CheckCancel());
    progress.findChild<QPushButton*>("cancelButton")->click();
    QVERIFY(progress.isVisible());  // the window stays until its user closes it
    QVERIFY(progress.CheckCancel());
    QVERIFY(!progress.CheckCancel());
    // Escape counts as Cancel; Enter does nothing.
    QTest::keyClick(&progress, Qt::Key_Return);
    QVERIFY(!progress.CheckCancel());
    QTest::keyClick(&progress, Qt::Key_Escape);
    QVERIFY(progress.isVisible());
    QVERIFY(progress.CheckCancel());
    progress.Destroy();
  }

  void cancelPressedWhileWorkRunsIsDelivered() {
    // A click queued as an event reaches the dialog during the step's event
    // processing, which is how a user's click arrives during a build.
    CProgressDlg progress;
    progress.Create(nullptr);
    auto* cancel = progress.findChild<QPushButton*>("cancelButton");
    QMetaObject::invokeMethod(cancel, "click", Qt::QueuedConnection);
    progress.StepIt();
    QVERIFY(progress.CheckCancel());
  }

  void fontSampleMakesItsFontFromTheProperties() {
    CFontSample sample(nullptr, "Header", "DejaVu Sans", 10, true, true, true);
    QFont font = sample.sampleFont();
    QCOMPARE(font.pixelSize(), 20);
    QVERIFY(font.bold());
    QVERIFY(font.italic());
    QVERIFY(font.underline());
    QCOMPARE(font.family(), QString("DejaVu Sans"));
    const int draws = sample.drawCount();
    sample.setSize(16);
    QCOMPARE(sample.sampleFont().pixelSize(), 32);
    QCOMPARE(sample.drawCount(), draws + 1);
    sample.setBold(false);
    QVERIFY(!sample.sampleFont().bold());
    // These two only store their value for the next drawing.
    sample.setNoFill(true);
    sample.setBackgroundColor(Qt::red);
    QCOMPARE(sample.drawCount(), draws + 2);
  }

  void fontSamplePaintsTextAndBackground() {
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    parent.setPalette(palette);
    parent.resize(200, 60);
    CFontSample sample(&parent, "MMMM", "DejaVu Sans", 12, false, true, false,
                       Qt::AlignLeft | Qt::AlignTop, QColor(255, 0, 0), false,
                       QColor(0, 255, 0));
    sample.setGeometry(0, 0, 200, 60);
    QImage filled = sample.grab().toImage();
    QVERIFY(CountPixels(filled, QColor(0, 255, 0)) > 200 * 60 / 2);
    QVERIFY(CountPixels(filled, QColor(255, 0, 0)) > 20);

    // No fill: the parent's blue shows through and no green is drawn.
    sample.setNoFill(true);
    sample.setText("MMMM");
    QImage unfilled = parent.grab(QRect(0, 0, 200, 60)).toImage();
    QCOMPARE(CountPixels(unfilled, QColor(0, 255, 0)), 0);
    QVERIFY(CountPixels(unfilled, QColor(0, 0, 255)) > 200 * 60 / 2);
    QVERIFY(CountPixels(unfilled, QColor(255, 0, 0)) > 20);

    // An empty text with fill shows only the background.
    sample.setNoFill(false);
    sample.setText(QString());
    QImage empty = sample.grab().toImage();
    QCOMPARE(CountPixels(empty, QColor(0, 255, 0)), 200 * 60);
  }
};

QTEST_MAIN(TestProgressAndFont)
#include "test_progress_and_font.moc"
