// CProgressDlg: the small modeless window shown during long operations.
//
// It is the desktop's face of folios::Progress: the engines step it, and it
// shows the bar, the percentage, the status line and a Cancel button. While
// it is shown its owner window is disabled, so no second command can start;
// every step and every cancel check handles pending window events, so the
// program stays responsive on its single thread.
#pragma once

#include <QDialog>
#include <QPointer>

#include "progress.h"

class QLabel;
class QProgressBar;

namespace folios::gui {

class CProgressDlg : public QDialog, public folios::Progress {
  Q_OBJECT

 public:
  explicit CProgressDlg(QWidget* parent = nullptr);
  // Enables the owner again if this dialog disabled it.
  ~CProgressDlg() override;

  // Shows the dialog over the top-level window of `parent` (or the active
  // main window when null) and disables that window if it was enabled.
  void Create(QWidget* parent = nullptr);
  // Enables the owner again (if this dialog disabled it) and hides the dialog.
  void Destroy();

  void SetCaption(const std::string& caption) override;
  void SetStatus(const std::string& text) override;

  QWidget* owner() const { return m_owner; }
  QString statusText() const;
  QString percentLabel() const;
  int barValue() const;

 protected:
  void ProcessPendingEvents() override;
  void OnRangeChanged() override;
  void OnPositionChanged() override;
  void OnPercentTextChanged() override;
  // Escape means Cancel: it sets the flag and leaves the window open.
  void reject() override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QProgressBar* m_bar;
  QLabel* m_percent;
  QLabel* m_status;
  QPointer<QWidget> m_owner;
  bool m_ownerDisabled = false;
};

}  // namespace folios::gui
