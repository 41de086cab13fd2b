#include "message_box.h"

#include <QList>
#include <QWidget>

namespace folios::gui {

namespace {

bool g_test_mode = false;
QList<QMessageBox::StandardButton> g_answers;
QStringList g_shown;
QString g_last_text;
int g_over_disabled = 0;

// Records the box and, in test mode, gives the answer without showing it.
bool Intercept(QWidget* parent, const QString& title, const QString& text,
               QMessageBox::StandardButton* answer) {
  g_shown << title + QStringLiteral(": ") + text;
  if (parent && !parent->isEnabled()) ++g_over_disabled;
  g_last_text = text;
  if (!g_test_mode) return false;
  *answer = g_answers.isEmpty() ? QMessageBox::No : g_answers.takeFirst();
  return true;
}

QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                 const QString& text, QMessageBox::StandardButtons buttons) {
  QMessageBox::StandardButton answer = QMessageBox::NoButton;
  if (Intercept(parent, title, text, &answer)) return answer;
  QMessageBox box(icon, title, text, buttons, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QString CutShort(const QStringList& lines, int max) {
  QString text = lines.mid(0, max).join(QLatin1Char('\n'));
  if (lines.size() > max) {
    text += QLatin1Char('\n') +
            MessageBox::tr("... and %n more.", "", static_cast<int>(lines.size() - max));
  }
  return text;
}

QString MessageBox::defaultTitle() { return tr("Lumentra Folios"); }

void MessageBox::information(QWidget* parent, const QString& text, const QString& title) {
  Show(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

void MessageBox::warning(QWidget* parent, const QString& text, const QString& title) {
  Show(parent, QMessageBox::Warning, title, text, QMessageBox::Ok);
}

QMessageBox::StandardButton MessageBox::question(QWidget* parent, const QString& text,
                                                 const QString& title, QMessageBox::Icon icon) {
  return Show(parent, icon, title, text, QMessageBox::Yes | QMessageBox::No);
}

void MessageBox::setTestMode(bool on) {
  g_test_mode = on;
  g_answers.clear();
}

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer) { g_answers << answer; }

QStringList MessageBox::shown() { return g_shown; }

QString MessageBox::lastText() { return g_last_text; }

void MessageBox::clearShown() {
  g_shown.clear();
  g_last_text.clear();
  g_over_disabled = 0;
}

int MessageBox::shownOverDisabledWindow() { return g_over_disabled; }

}  // namespace folios::gui
