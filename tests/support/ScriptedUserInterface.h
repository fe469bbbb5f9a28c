#pragma once

#include "core/ui/UserInterface.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quarvo::testing {

// The user interface of the core's tests. It records everything the core shows, answers prompts from
// a script, and fails the running test when the core asks something the script did not expect, or
// when the test ends with answers left over.
class ScriptedUserInterface : public UserInterface {
public:
    enum class PromptKind { Message, CloseQuestion, OpenFiles, SaveFile, GeneralOptions, 
                            CommandLine, Password };

    // A "Run File" dialog as it was shown.
    struct CommandLinePrompt {
        std::string message;
        std::string commandLine;
        bool operator==(const CommandLinePrompt&) const = default;
    };

    ScriptedUserInterface() = default;
    ~ScriptedUserInterface() override;

    // Script: each call queues the answer to the next prompt, which must be of that kind.
    void answerMessage(int result);
    void answerCloseQuestion(int result);
    void answerOpenFiles(std::vector<std::string> paths);
    void answerSaveFile(std::string path);
    void answerGeneralOptions(int result, std::function<void(GeneralOptionsValues&)> edit = {});
    // On OK the command line becomes edited when given, else stays as shown.
    void answerCommandLine(int result, std::optional<std::string> edited = std::nullopt);
    // On OK the password becomes password.
    void answerPassword(int result, std::string password = {});

    // Presses the Cancel button of the open progress window: sets the flag it was opened with.
    void pressCancel();
    // Called from processEvents(): lets a test press Cancel or quit while an operation runs.
    void setOnProcessEvents(std::function<bool()> handler) { m_onProcessEvents = std::move(handler); }

    // What the core showed, in order.
    const std::vector<MessageBoxRequest>& messages() const { return m_messages; }
    std::vector<std::string> messageTexts() const;
    const std::vector<std::string>& closeQuestions() const { return m_closeQuestions; }
    const std::vector<std::string>& statusTexts() const { return m_statusTexts; }
    const std::vector<std::string>& progressCaptions() const { return m_progressCaptions; }
    const std::vector<std::string>& progressTexts() const { return m_progressTexts; }
    const std::vector<FileDialogRequest>& fileDialogs() const { return m_fileDialogs; }
    const std::vector<GeneralOptionsValues>& generalOptionsShown() const { return m_generalOptionsShown; }
    const std::vector<CommandLinePrompt>& commandLinesShown() const { return m_commandLinesShown; }
    const std::vector<std::string>& passwordsAskedFor() const { return m_passwordsAskedFor; }
    int lastPercent() const { return m_lastPercent; }
    bool progressOpen() const { return m_progressOpen; }
    int progressOpenings() const { return m_progressOpenings; }
    int waitCursorDepth() const { return m_waitCursorDepth; }
    size_t pendingAnswers() const { return m_answers.size(); }

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
    struct Answer {
        PromptKind kind;
        int result = 0;
        std::vector<std::string> paths;
        std::function<void(GeneralOptionsValues&)> editGeneralOptions;
        std::optional<std::string> text;
    };

    // The next scripted answer if it is of the expected kind; otherwise fails the test and answers
    // Cancel, which every prompt of the program treats as "stop".
    Answer takeAnswer(PromptKind kind, const std::string& promptText);

    std::deque<Answer> m_answers;
    std::function<bool()> m_onProcessEvents;
    std::vector<MessageBoxRequest> m_messages;
    std::vector<std::string> m_closeQuestions;
    std::vector<std::string> m_statusTexts;
    std::vector<std::string> m_progressCaptions;
    std::vector<std::string> m_progressTexts;
    std::vector<FileDialogRequest> m_fileDialogs;
    std::vector<GeneralOptionsValues> m_generalOptionsShown;
    std::vector<CommandLinePrompt> m_commandLinesShown;
    std::vector<std::string> m_passwordsAskedFor;
    int m_lastPercent = 0;
    bool m_progressOpen = false;
    std::atomic<bool>* m_cancelRequest = nullptr;
    int m_progressOpenings = 0;
    int m_waitCursorDepth = 0;
};

const char* toString(ScriptedUserInterface::PromptKind kind);

} // namespace quarvo::testing
