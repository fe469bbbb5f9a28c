#include "support/ScriptedUserInterface.h"

#include "core/ui/DialogResult.h"

#include <gtest/gtest.h>

namespace quarvo::testing {

const char* toString(ScriptedUserInterface::PromptKind kind)
{
    switch (kind) {
    case ScriptedUserInterface::PromptKind::Message:
        return "message box";
    case ScriptedUserInterface::PromptKind::CloseQuestion:
        return "close question";
    case ScriptedUserInterface::PromptKind::OpenFiles:
        return "open-files dialog";
    case ScriptedUserInterface::PromptKind::SaveFile:
        return "save-file dialog";
    case ScriptedUserInterface::PromptKind::GeneralOptions:
        return "General Options dialog";
    case ScriptedUserInterface::PromptKind::CommandLine:
        return "Run File dialog";
    case ScriptedUserInterface::PromptKind::Password:
        return "password dialog";
    }
    return "prompt";
}

ScriptedUserInterface::~ScriptedUserInterface()
{
    for (const Answer& answer : m_answers)
        ADD_FAILURE() << "A scripted answer was never asked for: the " << toString(answer.kind)
                      << " answered " << answer.result;
    if (m_progressOpen)
        ADD_FAILURE() << "The progress window was left open";
    if (m_waitCursorDepth != 0)
        ADD_FAILURE() << "The wait cursor was left at depth " << m_waitCursorDepth;
}

void ScriptedUserInterface::answerMessage(int result)
{
    m_answers.push_back({PromptKind::Message, result, {}, {}, {}});
}

void ScriptedUserInterface::answerCloseQuestion(int result)
{
    m_answers.push_back({PromptKind::CloseQuestion, result, {}, {}, {}});
}

void ScriptedUserInterface::answerOpenFiles(std::vector<std::string> paths)
{
    int result = paths.empty() ? DialogResult::Cancel : DialogResult::Ok;
    m_answers.push_back({PromptKind::OpenFiles, result, std::move(paths), {}, {}});
}

void ScriptedUserInterface::answerSaveFile(std::string path)
{
    int result = path.empty() ? DialogResult::Cancel : DialogResult::Ok;
    m_answers.push_back({PromptKind::SaveFile, result, {std::move(path)}, {}, {}});
}

void ScriptedUserInterface::answerGeneralOptions(int result, std::function<void(GeneralOptionsValues&)> edit)
{
    m_answers.push_back({PromptKind::GeneralOptions, result, {}, std::move(edit), {}});
}

void ScriptedUserInterface::answerCommandLine(int result, std::optional<std::string> edited)
{
    m_answers.push_back({PromptKind::CommandLine, result, {}, {}, std::move(edited)});
}

void ScriptedUserInterface::answerPassword(int result, std::string password)
{
    m_answers.push_back({PromptKind::Password, result, {}, {}, std::move(password)});
}

std::vector<std::string> ScriptedUserInterface::messageTexts() const
{
    std::vector<std::string> texts;
    for (const auto& message : m_messages)
        texts.push_back(message.text);
    return texts;
}

ScriptedUserInterface::Answer ScriptedUserInterface::takeAnswer(PromptKind kind, const std::string& promptText)
{
    if (m_answers.empty()) {
        ADD_FAILURE() << "Unexpected " << toString(kind) << ": \"" << promptText << "\"";
        return {kind, DialogResult::Cancel, {}, {}, {}};
    }
    if (m_answers.front().kind != kind) {
        ADD_FAILURE() << "Expected a " << toString(m_answers.front().kind) << " but got a " << toString(kind)
                      << ": \"" << promptText << "\"";
        return {kind, DialogResult::Cancel, {}, {}, {}};
    }
    Answer answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

int ScriptedUserInterface::showMessage(const MessageBoxRequest& request)
{
    m_messages.push_back(request);
    return takeAnswer(PromptKind::Message, request.text).result;
}

int ScriptedUserInterface::askCloseQuestion(const std::string& text)
{
    m_closeQuestions.push_back(text);
    return takeAnswer(PromptKind::CloseQuestion, text).result;
}

void ScriptedUserInterface::setStatusText(const std::string& text)
{
    m_statusTexts.push_back(text);
}

void ScriptedUserInterface::beginWaitCursor()
{
    ++m_waitCursorDepth;
}

void ScriptedUserInterface::endWaitCursor()
{
    if (m_waitCursorDepth == 0)
        ADD_FAILURE() << "The wait cursor was ended more often than begun";
    else
        --m_waitCursorDepth;
}

void ScriptedUserInterface::openProgress(std::atomic<bool>& cancelRequest)
{
    if (m_progressOpen)
        ADD_FAILURE() << "A second progress window was opened while one was open";
    m_progressOpen = true;
    m_cancelRequest = &cancelRequest;
    ++m_progressOpenings;
}

void ScriptedUserInterface::pressCancel()
{
    if (!m_progressOpen || !m_cancelRequest)
        ADD_FAILURE() << "Cancel was pressed with no progress window open";
    else
        *m_cancelRequest = true;
}

void ScriptedUserInterface::setProgressCaption(const std::string& caption)
{
    m_progressCaptions.push_back(caption);
}

void ScriptedUserInterface::setProgress(const std::string& statusText, int percent)
{
    if (m_progressTexts.empty() || m_progressTexts.back() != statusText)
        m_progressTexts.push_back(statusText);
    m_lastPercent = percent;
}

void ScriptedUserInterface::closeProgress()
{
    m_progressOpen = false;
}

bool ScriptedUserInterface::processEvents()
{
    return m_onProcessEvents ? m_onProcessEvents() : false;
}

std::vector<std::string> ScriptedUserInterface::chooseFilesToOpen(const FileDialogRequest& request)
{
    m_fileDialogs.push_back(request);
    return takeAnswer(PromptKind::OpenFiles, request.title).paths;
}

std::string ScriptedUserInterface::chooseFileToSave(const FileDialogRequest& request)
{
    m_fileDialogs.push_back(request);
    Answer answer = takeAnswer(PromptKind::SaveFile, request.title);
    return answer.paths.empty() ? std::string() : answer.paths.front();
}

int ScriptedUserInterface::editGeneralOptions(GeneralOptionsValues& values)
{
    m_generalOptionsShown.push_back(values);
    Answer answer = takeAnswer(PromptKind::GeneralOptions, "General Options");
    if (answer.result != DialogResult::Cancel && answer.editGeneralOptions)
        answer.editGeneralOptions(values);
    return answer.result;
}

int ScriptedUserInterface::editCommandLine(const std::string& message, std::string& commandLine)
{
    m_commandLinesShown.push_back({message, commandLine});
    Answer answer = takeAnswer(PromptKind::CommandLine, message);
    if (answer.result == DialogResult::Ok && answer.text)
        commandLine = *answer.text;
    return answer.result;
}

int ScriptedUserInterface::askPassword(const std::string& entryName, std::string& password)
{
    m_passwordsAskedFor.push_back(entryName);
    Answer answer = takeAnswer(PromptKind::Password, entryName);
    if (answer.result == DialogResult::Ok && answer.text)
        password = *answer.text;
    return answer.result;
}

} // namespace quarvo::testing
