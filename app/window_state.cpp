#include "window_state.h"

#include <string>

#include "registry.h"

namespace folios::gui {

const char WindowState::kKeyPath[] =
    "Software\\Local AppWizard-Generated Applications\\Lumentra Folios\\Window State";

namespace {

const char* FolderName(WindowState::Folder folder) {
  switch (folder) {
    case WindowState::kOpenFolder:
      return "Open Folder";
    case WindowState::kOutputFolder:
      return "Output Folder";
  }
  return "Folder";
}

std::string Read(const char* name) {
  return CRegistry(kCurrentUser, WindowState::kKeyPath).ReadString(name, std::string());
}

void Write(const char* name, const std::string& value) {
  CRegistry(kCurrentUser, WindowState::kKeyPath).WriteString(name, value);
}

}  // namespace

QString WindowState::lastFolder(Folder folder) {
  return QString::fromStdString(Read(FolderName(folder)));
}

void WindowState::setLastFolder(Folder folder, const QString& path) {
  Write(FolderName(folder), path.toStdString());
}

QByteArray WindowState::bytes(const char* name) {
  return QByteArray::fromBase64(QByteArray::fromStdString(Read(name)));
}

void WindowState::setBytes(const char* name, const QByteArray& value) {
  Write(name, value.toBase64().toStdString());
}

int WindowState::number(const char* name, int absent) {
  return CRegistry(kCurrentUser, kKeyPath).ReadInt(name, absent);
}

void WindowState::setNumber(const char* name, int value) {
  CRegistry(kCurrentUser, kKeyPath).WriteInt(name, value);
}

QList<int> WindowState::numbers(const char* name) {
  QList<int> values;
  const QString text = QString::fromStdString(Read(name));
  for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    bool ok = false;
    const int value = item.trimmed().toInt(&ok);
    if (!ok) return {};
    values << value;
  }
  return values;
}

void WindowState::setNumbers(const char* name, const QList<int>& values) {
  QStringList items;
  for (int value : values) items << QString::number(value);
  Write(name, items.join(QLatin1Char(',')).toStdString());
}

QRect PlaceOnScreen(const QRect& frame, const QList<QRect>& screens, const QRect& primary) {
  // The strip along the top edge holds the title bar: while enough of it
  // is on a screen, the user can grab the window and move it.
  const QRect titleBar(frame.left(), frame.top(), frame.width(), qMin(frame.height(), 24));
  for (const QRect& screen : screens) {
    const QRect seen = screen.intersected(titleBar);
    if (seen.width() >= qMin(titleBar.width(), 64) && seen.height() >= titleBar.height() / 2) {
      return frame;
    }
  }
  QRect placed(QPoint(0, 0), frame.size().boundedTo(primary.size()));
  placed.moveCenter(primary.center());
  return placed;
}

}  // namespace folios::gui
