#include "find_dialog.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "dialog_keys.h"
#include "directory_search.h"
#include "file_dialog.h"
#include "message_box.h"
#include "setting_names.h"
#include "settings_table.h"

namespace folios::gui {

namespace {

QCheckBox* Check(const QString& text, const char* name, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

}  // namespace

CFindDlg::CFindDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("findDialog"));
  setWindowTitle(tr("Find"));

  auto* types = new QGroupBox(tr("Filetypes"), this);
  auto* cppBox = new QGroupBox(tr("C++"), types);
  m_cpp = Check(tr("&C++ Sourcefiles (*.cpp, *.c)"), "cppCheck", cppBox);
  m_h = Check(tr("C++ &Headerfiles (*.hpp, *.h)"), "hCheck", cppBox);
  auto* cppLayout = new QVBoxLayout(cppBox);
  cppLayout->addWidget(m_cpp);
  cppLayout->addWidget(m_h);
  auto* javaBox = new QGroupBox(tr("Java"), types);
  m_java = Check(tr("&Java Sourcefiles (*.java)"), "javaCheck", javaBox);
  auto* javaLayout = new QVBoxLayout(javaBox);
  javaLayout->addWidget(m_java);
  auto* vbBox = new QGroupBox(tr("Visual Basic"), types);
  m_frm = Check(tr("Visual Basic &Form files (*.frm)"), "frmCheck", vbBox);
  m_bas = Check(tr("Visual Basic &Module (*.bas)"), "basCheck", vbBox);
  m_cls = Check(tr("Visual Basic C&lass Module (*.cls)"), "clsCheck", vbBox);
  auto* vbLayout = new QVBoxLayout(vbBox);
  vbLayout->addWidget(m_frm);
  vbLayout->addWidget(m_bas);
  vbLayout->addWidget(m_cls);
  auto* typesLayout = new QGridLayout(types);
  typesLayout->addWidget(cppBox, 0, 0);
  typesLayout->addWidget(vbBox, 0, 1, 2, 1);
  typesLayout->addWidget(javaBox, 1, 0);

  auto* dirBox = new QGroupBox(tr("Directory"), this);
  m_dir = new QLineEdit(dirBox);
  m_dir->setObjectName(QStringLiteral("directoryEdit"));
  m_dir->setReadOnly(true);
  auto* browseButton = new QPushButton(tr("..."), dirBox);
  browseButton->setObjectName(QStringLiteral("browseButton"));
  browseButton->setFixedWidth(32);
  m_subfolders = Check(tr("&Include subfolders"), "subfoldersCheck", dirBox);
  auto* dirLayout = new QGridLayout(dirBox);
  auto* dirLabel = new QLabel(tr("Search files in the &directory"), dirBox);
  dirLabel->setBuddy(m_dir);
  dirLayout->addWidget(dirLabel, 0, 0, 1, 2);
  dirLayout->addWidget(m_dir, 1, 0);
  dirLayout->addWidget(browseButton, 1, 1);
  dirLayout->addWidget(m_subfolders, 2, 0, 1, 2);

  m_busy = new QProgressBar(this);
  m_busy->setObjectName(QStringLiteral("busyAnimation"));
  m_busy->setTextVisible(false);
  m_busy->setRange(0, 1);
  m_busy->setValue(0);
  m_busy->setMaximumHeight(12);

  auto* searchButton = new QPushButton(tr("&Search files"), this);
  searchButton->setObjectName(QStringLiteral("searchButton"));
  auto* cancelButton = new QPushButton(tr("C&ancel"), this);
  cancelButton->setObjectName(QStringLiteral("cancelButton"));
  searchButton->setAutoDefault(false);
  cancelButton->setAutoDefault(false);
  searchButton->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_busy, 1);
  buttons->addWidget(searchButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(types);
  layout->addWidget(dirBox);
  layout->addLayout(buttons);

  connect(browseButton, &QPushButton::clicked, this, &CFindDlg::browse);
  connect(searchButton, &QPushButton::clicked, this, &CFindDlg::search);
  connect(cancelButton, &QPushButton::clicked, this, &CFindDlg::reject);
  loadSettings();
}

QString CFindDlg::directory() const { return m_dir->text(); }

std::vector<std::string> CFindDlg::foundFiles() const {
  std::vector<std::string> files;
  for (const GatherPlan::Entry& entry : m_plan.entries) files.push_back(entry.path);
  return files;
}

void CFindDlg::loadSettings() {
  Settings s(SettingKey::kMain);
  m_dir->setText(QString::fromStdString(s.Text(setting_name::kDir)));
  m_cpp->setChecked(s.Int(setting_name::kCpp) != 0);
  m_h->setChecked(s.Int(setting_name::kH) != 0);
  m_java->setChecked(s.Int(setting_name::kJava) != 0);
  m_frm->setChecked(s.Int(setting_name::kFrm) != 0);
  m_bas->setChecked(s.Int(setting_name::kBas) != 0);
  m_cls->setChecked(s.Int(setting_name::kCls) != 0);
  m_subfolders->setChecked(s.Int(setting_name::kFindSubfolders) != 0);
}

void CFindDlg::saveSettings() {
  Settings s(SettingKey::kMain);
  s.SetInt(setting_name::kCpp, m_cpp->isChecked());
  s.SetInt(setting_name::kH, m_h->isChecked());
  s.SetInt(setting_name::kCls, m_cls->isChecked());
  s.SetInt(setting_name::kBas, m_bas->isChecked());
  s.SetInt(setting_name::kFrm, m_frm->isChecked());
  s.SetInt(setting_name::kJava, m_java->isChecked());
  s.SetInt(setting_name::kFindSubfolders, m_subfolders->isChecked());
  s.SetText(setting_name::kDir, m_dir->text().toStdString());
}

void CFindDlg::browse() {
  QString dir = FileDialog::getExistingDirectory(this, tr("Select a directory!"), m_dir->text());
  if (!dir.isEmpty()) m_dir->setText(dir);
}

void CFindDlg::search() {
  SearchTypes types;
  types.cpp = m_cpp->isChecked();
  types.h = m_h->isChecked();
  types.java = m_java->isChecked();
  types.frm = m_frm->isChecked();
  types.bas = m_bas->isChecked();
  types.cls = m_cls->isChecked();
  if (!types.any()) {
    MessageBox::information(this, tr("You must select at least one filetype!"));
    return;
  }
  GatherRequest request;
  request.paths = {m_dir->text().toStdString()};
  if (request.paths.front().empty()) return;
  request.types = types;
  request.subfolders = m_subfolders->isChecked();
  request.directories_only = true;

  setEnabled(false);
  m_searching = true;
  m_busy->setRange(0, 0);  // a busy bar: it moves without a known end
  GatherPlan plan;
  // The search runs on its own thread so the animation keeps moving; the
  // dialog is disabled meanwhile, so nothing else can happen.
  QEventLoop loop;
  QThread* worker = QThread::create([&] { plan = PlanGathering(request); });
  connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  if (!worker->isFinished()) loop.exec();
  worker->wait();
  delete worker;
  m_busy->setRange(0, 1);
  m_busy->setValue(0);
  m_searching = false;
  setEnabled(true);

  m_plan = std::move(plan);
  saveSettings();
  accept();
}

void CFindDlg::keyPressEvent(QKeyEvent* event) {
  // Only the buttons act.
  if (!SwallowEnterAndEscape(event)) QDialog::keyPressEvent(event);
}

}  // namespace folios::gui
