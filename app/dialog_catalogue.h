// Every dialog and option page of the desktop program, made one after the
// other for whoever needs to look at them all: the render tool draws them,
// and the tests check their names, keys, texts and colours.
#pragma once

#include <QPalette>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace folios::gui {

// Makes each dialog as its command would (with sample content where it
// needs some: `filePath` for the properties, an empty file list for the
// statistics) and calls `visit` with a name ("about", "preferences-2", ...)
// and the dialog, not yet shown. A sheet is visited once per page, with that
// page current. Each dialog is destroyed after its last visit.
void ForEachDialog(QWidget* parent, const QString& filePath,
                   const std::function<void(const QString& name, QDialog* dialog)>& visit);

// A dark palette as dark desktop themes set it, for drawing and checking
// every page in one.
QPalette DarkPalette();

}  // namespace folios::gui
