#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <set>

class QAction;

namespace quarvo::gui {

// Something that carries out commands: the application for its own, a document window for its
// document's and listing's.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // True when this target has the command, enabled or not.
    virtual bool handlesCommand(int id) const = 0;
    virtual bool isCommandEnabled(int id) const = 0;
    // The check mark of a command that has one; nothing for a command without a check mark.
    virtual std::optional<bool> commandCheck(int id) const
    {
        (void)id;
        return std::nullopt;
    }
    virtual void runCommand(int id) = 0;

    // The words a command has while this target is active, where they differ from the catalogue's
    // (a job window's Save reads "&Save Config File" with Ctrl+S); nothing keeps the catalogue's.
    struct CommandWords {
        QString text;
        QKeySequence shortcut;
    };
    virtual std::optional<CommandWords> commandWords(int id) const
    {
        (void)id;
        return std::nullopt;
    }
};

// One QAction per command id, with the words of the command catalogue, shared by the menus, the tool
// bar and the accelerators. A triggered action goes to the active document window first, then to the
// application-wide handlers. A command nobody handles stays disabled: the program never offers what
// it cannot do.
class CommandRouter : public QObject {
    Q_OBJECT
public:
    struct Handler {
        std::function<void()> run;
        std::function<bool()> enabled; // empty: always enabled
        std::function<bool()> checked;  // empty: not checkable
        std::function<QString()> text;  // empty: the catalogue's menu text
    };

    explicit CommandRouter(QObject* parent = nullptr);

    // The action of a command; made on first use from the catalogue's words.
    QAction* action(int id);
    bool hasAction(int id) const { return m_actions.count(id) > 0; }

    void setHandler(int id, Handler handler);
    // The active document window's target; null when no document window is active.
    void setActiveTarget(CommandTarget* target);
    CommandTarget* activeTarget() const { return m_activeTarget; }

    // Runs a command as if its action had been triggered; false when nobody could run it.
    bool run(int id);
    bool isEnabled(int id) const;

public slots:
    // Brings every action's enabled state and check mark up to date.
    void updateStates();

private:
    void applyWords(int id, QAction* action);

    std::map<int, QAction*> m_actions;
    std::map<int, Handler> m_handlers;
    CommandTarget* m_activeTarget = nullptr;
    // The actions that carry a target's words now, to be given the catalogue's back.
    std::set<int> m_reworded;
};

} // namespace quarvo::gui
