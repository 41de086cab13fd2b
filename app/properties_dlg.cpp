#include "properties_dlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "group_icons.h"
#include "paths.h"
#include "project_file.h"

namespace folios::gui {

namespace {

QString TypeName(int group) {
  switch (group) {
    case kCppSources: return QObject::tr("C++ source file");
    case kCppHeaders: return QObject::tr("C++ header file");
    case kVbClasses: return QObject::tr("Visual Basic class module");
    case kVbModules: return QObject::tr("Visual Basic module");
    case kVbForms: return QObject::tr("Visual Basic form");
    case kJavaFiles: return QObject::tr("Java source file");
    default: return QObject::tr("Other file");
  }
}

QString Permissions(const QFileInfo& info) {
  QString text;
  text += info.isReadable() ? QObject::tr("readable") : QObject::tr("not readable");
  text += QStringLiteral(", ");
  text += info.isWritable() ? QObject::tr("writable") : QObject::tr("read-only");
  return text;
}

}  // namespace

CPropertiesDlg::CPropertiesDlg(const QString& path, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("propertiesDialog"));
  QFileInfo info(path);
  setWindowTitle(tr("%1 Properties").arg(info.fileName()));
  const int group = GroupOfExtension(Extension(path.toStdString()));

  auto* header = new QLabel(this);
  header->setPixmap(GroupIcon(group < 0 ? kTotalImage : group).pixmap(32, 32));
  m_form = new QFormLayout;
  auto* name = new QLabel(QStringLiteral("<b>%1</b>").arg(info.fileName().toHtmlEscaped()), this);
  name->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_form->addRow(header, name);
  addField(tr("Type"), TypeName(group));
  addField(tr("Location"), info.absolutePath());
  if (info.exists()) {
    const QLocale locale;
    addField(tr("Size"), tr("%1 bytes").arg(locale.toString(info.size())));
    addField(tr("Modified"), locale.toString(info.lastModified(), QLocale::LongFormat));
    addField(tr("Accessed"), locale.toString(info.lastRead(), QLocale::LongFormat));
    addField(tr("Permissions"), Permissions(info));
  } else {
    addField(tr("Size"), tr("The file does not exist."));
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(m_form);
  layout->addWidget(buttons);
}

void CPropertiesDlg::addField(const QString& label, const QString& value) {
  auto* text = new QLabel(value, this);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  text->setObjectName(label);
  m_form->addRow(label + QLatin1Char(':'), text);
}

QString CPropertiesDlg::field(const QString& label) const {
  auto* text = findChild<QLabel*>(label);
  return text ? text->text() : QString();
}

}  // namespace folios::gui
