#pragma once

#include "core/ui/UserInterface.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace quarvo::gui {

class ProgressWindow;

// The user-interface port with real widgets. Message boxes and dialogs are modal to the main window
// (or to the active window before it exists); the progress window is modeless and owned here.
class QtUserInterface : public UserInterface {
public:
    struct Hooks {
        // The main window's message pane; empty before the main window exists.
        std::function<void(const std::string&)> setStatusText;
        // Why a viewer name cannot be used (for the General Options dialog), or nothing.
        std::function<std::optional<std::string>(const std::string&)> viewerProblem;
        // Opens the manual (the dialogs' Help buttons).
        std::function<void()> showHelp;
    };

    QtUserInterface();
    ~QtUserInterface() override;

    void setParentWindow(QWidget* parent) { m_parent = parent; }
    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    // While set, every message box and dialog is answered by answers instead of being shown, for a
    // run nobody watches ("-e"); the progress window and the status bar still show.
    void answerWith(UserInterface* answers) { m_answers = answers; }
    // Set when the user asked to quit while an operation ran; processEvents() reports it once.
    void requestQuit() { m_quitRequested = true; }
    bool isProgressOpen() const;
    ProgressWindow* progressWindow() const;

    int showMessage(const MessageBoxRequest& request) override;
    int askCloseQuestion(const std::string& text) override;
    void setStatusText(const std::string& text) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    void openProgress(std::atomic<bool>& cancelRequest) override;
    void setProgressCaption(const std::string& caption) override;
    void setProgress(const std::string& statusText, int percent) override;
    void closeProgress() override;
    bool processEvents() override;
    std::vector<std::string> chooseFilesToOpen(const FileDialogRequest& request) override;
    std::string chooseFileToSave(const FileDialogRequest& request) override;
    int editGeneralOptions(GeneralOptionsValues& values) override;
    int editCommandLine(const std::string& message, std::string& commandLine) override;
    int askPassword(const std::string& entryName, std::string& password) override;

private:
    QWidget* dialogParent() const;

    QPointer<QWidget> m_parent;
    Hooks m_hooks;
    QPointer<ProgressWindow> m_progress;
    bool m_quitRequested = false;
    UserInterface* m_answers = nullptr;
};

} // namespace quarvo::gui
