#include "gui/dialogs/PasswordDialog.h"

#include "core/ui/DialogResult.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvo::gui {

PasswordDialog::PasswordDialog(const std::string& entryName, QWidget* parent)
    : CentredDialog(parent), m_password(new QLineEdit(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    auto* name =
        new QLabel(QStringLiteral("The file %1 is encrypted.").arg(QString::fromStdString(entryName)), this);
    name->setTextFormat(Qt::PlainText);
    auto* field = new QFormLayout;
    field->addRow(QStringLiteral("&Password:"), m_password);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    m_ok->setDefault(true);

    auto* fields = new QVBoxLayout;
    fields->addWidget(name);
    fields->addLayout(field);
    fields->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &PasswordDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &PasswordDialog::reject);
}

std::string PasswordDialog::password() const
{
    return m_password->text().toStdString();
}

void PasswordDialog::accept()
{
    done(DialogResult::Ok);
}

void PasswordDialog::reject()
{
    done(DialogResult::Cancel);
}

} // namespace quarvo::gui
