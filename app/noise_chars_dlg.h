// CNoiseCharsDlg: the "Define noise chars" dialog, which edits the set of
// characters that listings leave out. It reads the noise-characters file
// when it opens and writes it on OK; Cancel leaves the file as it was.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace folios::gui {

class CNoiseCharsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CNoiseCharsDlg(QWidget* parent = nullptr);

  // The bytes of the set in list order, as OK writes them.
  std::string characters() const;
  // The entries as the list shows them ("(space)" for the blank).
  QStringList entries() const;

 public slots:
  void accept() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private slots:
  void onEditChanged(const QString& text);
  void onAdd();
  void onRemove();

 private:
  // Inserts the entry for `byte` where the list's case-insensitive order puts it.
  void insertEntry(unsigned char byte);
  // The row of the first entry that begins with `c` ignoring case, or -1.
  int findPrefix(QChar c) const;
  bool eventFilter(QObject* watched, QEvent* event) override;

  QLineEdit* m_edit;
  QListWidget* m_list;
  QPushButton* m_add;
  QPushButton* m_remove;
};

}  // namespace folios::gui
