#include "gui/dialogs/UnzipOptionsDialog.h"

#include "core/settings/AppSettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quarvo::gui {

namespace {

int flagOf(const QCheckBox* box)
{
    return box->isChecked() ? 1 : 0;
}

} // namespace

UnzipOptionsDialog::UnzipOptionsDialog(AppSettings& settings, QWidget* parent)
    : OptionsDialog(settings, QStringLiteral("UNZIP Options"), parent),
      m_recurseOut(new QCheckBox(QStringLiteral("Recurse ZIP Path Info."), this)),
      m_overwrite(new QCheckBox(QStringLiteral("&Overwrite Files"), this)),
      m_recreate(new QCheckBox(QStringLiteral("Recreate &Directories"), this)),
      m_password(new QLineEdit(this))
{
    m_password->setEchoMode(QLineEdit::Password);
    auto* content = new QVBoxLayout;
    content->addWidget(m_recurseOut);
    content->addWidget(m_overwrite);
    content->addWidget(m_recreate);
    auto* password = new QFormLayout;
    password->addRow(QStringLiteral("Password :"), m_password);
    content->addLayout(password);
    setContent(content);
}

void UnzipOptionsDialog::loadControls()
{
    const UnzipOptions& options = m_settings.unzipOptions;
    m_recurseOut->setChecked(options.recurseOut != 0);
    m_overwrite->setChecked(options.overwrite != 0);
    m_recreate->setChecked(options.recreate != 0);
    m_password->setText(QString::fromStdString(options.password));
}

void UnzipOptionsDialog::takeOverControls()
{
    UnzipOptions& options = m_settings.unzipOptions;
    options.recurseOut = flagOf(m_recurseOut);
    options.overwrite = flagOf(m_overwrite);
    options.recreate = flagOf(m_recreate);
    options.password = m_password->text().toStdString();
}

void UnzipOptionsDialog::saveGroup()
{
    m_settings.saveUnzipOptions();
}

UntarOptionsDialog::UntarOptionsDialog(AppSettings& settings, QWidget* parent)
    : OptionsDialog(settings, QStringLiteral("UNTAR Options"), parent),
      m_recurseOut(new QCheckBox(QStringLiteral("Recurse TAR Path Info."), this)),
      m_overwrite(new QCheckBox(QStringLiteral("&Overwrite Files"), this)),
      m_recreate(new QCheckBox(QStringLiteral("Recreate &Directories"), this)),
      m_lineEnds(new QCheckBox(QStringLiteral("Convert LF to CR/LF"), this))
{
    auto* content = new QVBoxLayout;
    for (QCheckBox* box : {m_recurseOut, m_overwrite, m_recreate, m_lineEnds})
        content->addWidget(box);
    setContent(content);
}

void UntarOptionsDialog::loadControls()
{
    const UntarOptions& options = m_settings.untarOptions;
    m_recurseOut->setChecked(options.tarRecurseOut != 0);
    m_overwrite->setChecked(options.tarOverwrite != 0);
    m_recreate->setChecked(options.tarRecreate != 0);
    m_lineEnds->setChecked(options.tarLF2CRLF != 0);
}

void UntarOptionsDialog::takeOverControls()
{
    UntarOptions& options = m_settings.untarOptions;
    options.tarRecurseOut = flagOf(m_recurseOut);
    options.tarOverwrite = flagOf(m_overwrite);
    options.tarRecreate = flagOf(m_recreate);
    options.tarLF2CRLF = flagOf(m_lineEnds);
}

void UntarOptionsDialog::saveGroup()
{
    m_settings.saveUntarOptions();
}

} // namespace quarvo::gui
