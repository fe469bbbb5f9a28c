#include "gui/app/ProgressWindow.h"

#include "gui/app/PercentBar.h"
#include "gui/dialogs/CentredDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace quarvo::gui {

ProgressWindow::ProgressWindow(std::atomic<bool>& cancelRequest, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint), m_cancelRequest(cancelRequest)
{
    setWindowModality(Qt::NonModal);
    m_status = new QLabel(this);
    m_status->setMinimumWidth(360);
    m_status->setTextFormat(Qt::PlainText);
    m_bar = new PercentBar(this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelRequest = true; });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addSpacing(4);
    layout->addWidget(m_bar);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ProgressWindow::setProgress(const QString& text, int percent)
{
    m_status->setText(text);
    m_bar->setPercent(percent);
    m_status->repaint();
    m_bar->repaint();
}

void ProgressWindow::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        centreOnParent(this);
    QWidget::showEvent(event);
}

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    // Closing the window asks to cancel; the window itself goes when the operation has returned.
    m_cancelRequest = true;
    event->ignore();
}

} // namespace quarvo::gui
