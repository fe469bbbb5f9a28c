#include "gui/app/SummaryStatusBar.h"

#include "gui/app/ProductInfo.h"

#include <QLabel>
#include <QMouseEvent>

namespace quarvo::gui {

SummaryStatusBar::SummaryStatusBar(QWidget* parent) : QStatusBar(parent)
{
    m_message = new QLabel(ProductInfo::idlePrompt(), this);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setMinimumWidth(1);
    m_selection = new QLabel(this);
    m_selection->setTextFormat(Qt::PlainText);
    m_selection->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    int margins = m_selection->contentsMargins().left() + m_selection->contentsMargins().right() + 12;
    m_selection->setMinimumWidth(m_selection->fontMetrics().horizontalAdvance(selectionPaneTemplate()) + margins);
    addWidget(m_message, 1);
    addPermanentWidget(m_selection);
}

void SummaryStatusBar::enterEvent(QEnterEvent* event)
{
    QStatusBar::enterEvent(event);
    if (m_hooks.archiveWindowActive && m_hooks.archiveWindowActive() && m_hooks.setMessageText)
        m_hooks.setMessageText(infoPrompt());
}

void SummaryStatusBar::leaveEvent(QEvent* event)
{
    QStatusBar::leaveEvent(event);
    if (m_hooks.setMessageText)
        m_hooks.setMessageText(ProductInfo::idlePrompt());
}

void SummaryStatusBar::mousePressEvent(QMouseEvent* event)
{
    QStatusBar::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    if (m_hooks.setMessageText)
        m_hooks.setMessageText(ProductInfo::idlePrompt());
    if (m_hooks.archiveWindowActive && m_hooks.archiveWindowActive() && m_hooks.showArchiveInfo)
        m_hooks.showArchiveInfo();
    if (QWidget* main = window())
        main->activateWindow();
}

} // namespace quarvo::gui
