#include "gui/dialogs/OptionsDialog.h"

#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace quarvo::gui {

OptionsDialog::OptionsDialog(AppSettings& settings, const QString& title, QWidget* parent)
    : CentredDialog(parent), m_settings(settings), m_ok(new QPushButton(QStringLiteral("&OK"), this)),
      m_save(new QPushButton(QStringLiteral("&Save"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_help(new QPushButton(QStringLiteral("&Help"), this))
{
    setWindowTitle(title);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { closeAccepting(DialogResult::Ok); });
    connect(m_save, &QPushButton::clicked, this, [this] {
        takeOverControls();
        saveGroup();
        done(DialogResult::Save);
    });
    connect(m_cancel, &QPushButton::clicked, this, &OptionsDialog::reject);
    connect(m_help, &QPushButton::clicked, this, &OptionsDialog::helpRequested);
}

void OptionsDialog::setContent(QLayout* content)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {m_ok, m_save, m_cancel, m_help})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(content);
    layout->addLayout(buttons);
}

void OptionsDialog::reject()
{
    done(DialogResult::Cancel);
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        loadControls();
    CentredDialog::showEvent(event);
}

void OptionsDialog::closeAccepting(int result)
{
    takeOverControls();
    done(result);
}

} // namespace quarvo::gui
