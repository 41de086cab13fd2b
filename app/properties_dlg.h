// The properties of one file of the list: where it is, its type, size,
// times and permissions, read from disk when the dialog opens.
#pragma once

#include <QDialog>
#include <QString>

class QFormLayout;

namespace folios::gui {

class CPropertiesDlg : public QDialog {
  Q_OBJECT

 public:
  CPropertiesDlg(const QString& path, QWidget* parent = nullptr);

  // The value shown for a field label ("Size"), for tests.
  QString field(const QString& label) const;

 private:
  void addField(const QString& label, const QString& value);
  QFormLayout* m_form;
};

}  // namespace folios::gui
