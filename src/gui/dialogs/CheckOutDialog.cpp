#include "gui/dialogs/CheckOutDialog.h"

#include "core/ui/DialogResult.h"
#include "gui/dialogs/DirectoryChooser.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvo::gui {

CheckOutDialog::CheckOutDialog(const CheckOutDialogValues& values, UserInterface& ui, QWidget* parent)
    : CentredDialog(parent), m_values(values), m_ui(ui),
      m_directory(new DirectoryChooser(QStringLiteral("Directory:"), this)), m_password(new QLineEdit(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(QString::fromStdString(values.title));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setText(QString::fromStdString(values.password));
    auto* password = new QFormLayout;
    password->addRow(QStringLiteral("&Password:"), m_password);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_ok, cancel, help})
        buttons->addWidget(button);
    buttons->addStretch();
    m_ok->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(m_directory, 1);
    left->addLayout(password);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &CheckOutDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CheckOutDialog::reject);
    connect(help, &QPushButton::clicked, this, &CheckOutDialog::helpRequested);

    m_directory->setHistory(values.directoryHistory);
    m_directory->setDirectory(QString::fromStdString(values.destinationDirectory));
}

void CheckOutDialog::accept()
{
    m_values.password = m_password->text().toStdString();
    if (m_directory->takeDirectory(m_ui, m_values.destinationDirectory, m_values.directoryHistory))
        done(DialogResult::Ok);
}

void CheckOutDialog::reject()
{
    done(DialogResult::Cancel);
}

} // namespace quarvo::gui
