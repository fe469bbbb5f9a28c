#include "gui/dialogs/RunFileDialog.h"

#include "core/ui/DialogResult.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace quarvo::gui {

RunFileDialog::RunFileDialog(const std::string& message, const std::string& commandLine, QWidget* parent)
    : CentredDialog(parent), m_message(new QLabel(QString::fromStdString(message), this)),
      m_commandLine(new QLineEdit(QString::fromStdString(commandLine), this)),
      m_execute(new QPushButton(QStringLiteral("&Execute"), this))
{
    setWindowTitle(QStringLiteral("Run File"));
    // A command line is never cut short: names inside archives can be long.
    m_commandLine->setMaxLength(std::numeric_limits<int>::max());
    m_commandLine->setMinimumWidth(m_commandLine->fontMetrics().averageCharWidth() * 60);
    auto* label = new QLabel(QStringLiteral("Command Line:"), this);
    label->setBuddy(m_commandLine);

    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_execute, cancel, help})
        buttons->addWidget(button);
    buttons->addStretch();
    m_execute->setDefault(true);

    auto* fields = new QVBoxLayout;
    fields->addWidget(m_message);
    fields->addWidget(label);
    fields->addWidget(m_commandLine);
    fields->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    connect(m_execute, &QPushButton::clicked, this, &RunFileDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &RunFileDialog::reject);
    connect(help, &QPushButton::clicked, this, &RunFileDialog::helpRequested);
}

std::string RunFileDialog::commandLine() const
{
    return m_commandLine->text().toStdString();
}

void RunFileDialog::accept()
{
    done(DialogResult::Ok);
}

void RunFileDialog::reject()
{
    done(DialogResult::Cancel);
}

} // namespace quarvo::gui
