#include "gui/app/CommandRouter.h"

#include "core/app/CommandCatalog.h"

#include <QAction>

namespace quarvo::gui {

CommandRouter::CommandRouter(QObject* parent) : QObject(parent) {}

QAction* CommandRouter::action(int id)
{
    auto found = m_actions.find(id);
    if (found != m_actions.end())
        return found->second;
    auto* action = new QAction(this);
    if (const CommandText* text = findCommandText(id)) {
        action->setText(QString::fromUtf8(text->menuText.data(), qsizetype(text->menuText.size())));
        action->setStatusTip(QString::fromUtf8(text->prompt.data(), qsizetype(text->prompt.size())));
        if (!text->toolTip.empty())
            action->setToolTip(QString::fromUtf8(text->toolTip.data(), qsizetype(text->toolTip.size())));
        action->setWhatsThis(action->statusTip());
        if (!text->shortcut.empty())
            action->setShortcut(QKeySequence(QString::fromUtf8(text->shortcut.data(), qsizetype(text->shortcut.size()))));
    }
    action->setData(id);
    action->setEnabled(false);
    connect(action, &QAction::triggered, this, [this, id] { run(id); });
    m_actions.emplace(id, action);
    return action;
}

void CommandRouter::setHandler(int id, Handler handler)
{
    m_handlers[id] = std::move(handler);
    updateStates();
}

void CommandRouter::setActiveTarget(CommandTarget* target)
{
    m_activeTarget = target;
    updateStates();
}

bool CommandRouter::isEnabled(int id) const
{
    if (m_activeTarget && m_activeTarget->handlesCommand(id))
        return m_activeTarget->isCommandEnabled(id);
    auto handler = m_handlers.find(id);
    if (handler == m_handlers.end() || !handler->second.run)
        return false;
    return !handler->second.enabled || handler->second.enabled();
}

bool CommandRouter::run(int id)
{
    if (!isEnabled(id))
        return false;
    if (m_activeTarget && m_activeTarget->handlesCommand(id))
        m_activeTarget->runCommand(id);
    else
        m_handlers.at(id).run();
    updateStates();
    return true;
}

void CommandRouter::applyWords(int id, QAction* action)
{
    std::optional<CommandTarget::CommandWords> words =
        m_activeTarget ? m_activeTarget->commandWords(id) : std::nullopt;
    if (words) {
        action->setText(words->text);
        action->setShortcut(words->shortcut);
        m_reworded.insert(id);
        return;
    }
    if (m_reworded.erase(id) == 0)
        return;
    const CommandText* text = findCommandText(id);
    action->setText(text ? QString::fromUtf8(text->menuText.data(), qsizetype(text->menuText.size())) : QString());
    action->setShortcut(text ? QKeySequence(QString::fromUtf8(text->shortcut.data(), qsizetype(text->shortcut.size())))
                             : QKeySequence());
}

void CommandRouter::updateStates()
{
    for (auto& [id, action] : m_actions) {
        applyWords(id, action);
        action->setEnabled(isEnabled(id));
        std::optional<bool> check;
        if (m_activeTarget && m_activeTarget->handlesCommand(id))
            check = m_activeTarget->commandCheck(id);
        else if (auto handler = m_handlers.find(id); handler != m_handlers.end()) {
            if (handler->second.checked)
                check = handler->second.checked();
            if (handler->second.text)
                action->setText(handler->second.text());
        }
        action->setCheckable(check.has_value());
        action->setChecked(check.value_or(false));
    }
}

} // namespace quarvo::gui
