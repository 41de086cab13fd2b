// MessageBox: every message box of the program goes through here, so tests
// can answer questions in advance and read what would have been shown.
#pragma once

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace folios::gui {

// Messages that list files name at most this many.
inline constexpr int kMaxListedLines = 20;

// The first `max` lines, one per line, then "... and N more." when there
// are more.
QString CutShort(const QStringList& lines, int max = kMaxListedLines);

class MessageBox {
  Q_DECLARE_TR_FUNCTIONS(MessageBox)

 public:
  // The title of boxes that have no title of their own.
  static QString defaultTitle();

  // Shows an information box with an OK button.
  static void information(QWidget* parent, const QString& text,
                          const QString& title = defaultTitle());
  // Shows a warning box (exclamation icon) with an OK button.
  static void warning(QWidget* parent, const QString& text, const QString& title = defaultTitle());
  // Asks with Yes and No and the given icon; returns Yes or No.
  static QMessageBox::StandardButton question(
      QWidget* parent, const QString& text, const QString& title = defaultTitle(),
      QMessageBox::Icon icon = QMessageBox::Question);

  // Test seam. In test mode no box is ever shown: each call is recorded and
  // a question takes the next queued answer, or No when none is queued.
  static void setTestMode(bool on);
  static void setNextAnswer(QMessageBox::StandardButton answer);
  // "title: text" of every box since the last clear.
  static QStringList shown();
  static QString lastText();
  static void clearShown();
  // How many boxes were asked for over a disabled window, where a user
  // could not have answered them.
  static int shownOverDisabledWindow();
};

}  // namespace folios::gui
