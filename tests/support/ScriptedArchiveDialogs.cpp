#include "support/ScriptedArchiveDialogs.h"

#include "core/ui/DialogResult.h"

#include <gtest/gtest.h>

namespace quarvo::testing {

const char* toString(ScriptedArchiveDialogs::RequestKind kind)
{
    switch (kind) {
    case ScriptedArchiveDialogs::RequestKind::AddFiles:
        return "add-files dialog";
    case ScriptedArchiveDialogs::RequestKind::FileList:
        return "file-list dialog";
    case ScriptedArchiveDialogs::RequestKind::Comment:
        return "comment dialog";
    case ScriptedArchiveDialogs::RequestKind::Extract:
        return "extract dialog";
    case ScriptedArchiveDialogs::RequestKind::CheckOut:
        return "check-out dialog";
    case ScriptedArchiveDialogs::RequestKind::Info:
        return "ZIP File Info dialog";
    }
    return "dialog";
}

ScriptedArchiveDialogs::~ScriptedArchiveDialogs()
{
    for (const Answer& answer : m_answers)
        ADD_FAILURE() << "A scripted answer was never asked for: the " << toString(answer.kind)
                      << " answered " << answer.result;
}

void ScriptedArchiveDialogs::answerAddFiles(int result, std::function<void(AddFilesDialogValues&)> edit)
{
    Answer answer{RequestKind::AddFiles, result};
    answer.editAddFiles = std::move(edit);
    m_answers.push_back(std::move(answer));
}

void ScriptedArchiveDialogs::answerFileList(int result, std::function<void(FileListDialogValues&)> edit)
{
    Answer answer{RequestKind::FileList, result};
    answer.editFileList = std::move(edit);
    m_answers.push_back(std::move(answer));
}

void ScriptedArchiveDialogs::answerComment(int result, std::string text)
{
    Answer answer{RequestKind::Comment, result};
    answer.comment = std::move(text);
    m_answers.push_back(std::move(answer));
}

void ScriptedArchiveDialogs::answerCheckOut(int result, std::function<void(CheckOutDialogValues&)> edit)
{
    Answer answer{RequestKind::CheckOut, result};
    answer.editCheckOut = std::move(edit);
    m_answers.push_back(std::move(answer));
}

void ScriptedArchiveDialogs::answerExtract(int result, std::function<void(ExtractDialogValues&)> edit)
{
    Answer answer{RequestKind::Extract, result};
    answer.editExtract = std::move(edit);
    m_answers.push_back(std::move(answer));
}

void ScriptedArchiveDialogs::expectInfo()
{
    m_answers.push_back({RequestKind::Info, DialogResult::Ok});
}

ScriptedArchiveDialogs::Answer ScriptedArchiveDialogs::takeAnswer(RequestKind kind, const std::string& title)
{
    if (m_answers.empty()) {
        ADD_FAILURE() << "Unexpected " << toString(kind) << ": \"" << title << "\"";
        return {kind, DialogResult::Cancel};
    }
    if (m_answers.front().kind != kind) {
        ADD_FAILURE() << "Expected a " << toString(m_answers.front().kind) << " but got a " << toString(kind)
                      << ": \"" << title << "\"";
        return {kind, DialogResult::Cancel};
    }
    Answer answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

int ScriptedArchiveDialogs::editAddFiles(AddFilesDialogValues& values)
{
    m_addFilesShown.push_back(values);
    Answer answer = takeAnswer(RequestKind::AddFiles, values.title);
    if (answer.result == DialogResult::Ok && answer.editAddFiles)
        answer.editAddFiles(values);
    return answer.result;
}

int ScriptedArchiveDialogs::editFileList(FileListDialogValues& values)
{
    m_fileListsShown.push_back(values);
    Answer answer = takeAnswer(RequestKind::FileList, values.title);
    if (answer.result == DialogResult::Ok && answer.editFileList)
        answer.editFileList(values);
    return answer.result;
}

int ScriptedArchiveDialogs::editComment(std::string& comment)
{
    m_commentsShown.push_back(comment);
    Answer answer = takeAnswer(RequestKind::Comment, "ZIP File Comment");
    if (answer.result == DialogResult::Ok)
        comment = answer.comment;
    return answer.result;
}

int ScriptedArchiveDialogs::editCheckOut(CheckOutDialogValues& values)
{
    m_checkOutShown.push_back(values);
    Answer answer = takeAnswer(RequestKind::CheckOut, values.title);
    if (answer.result == DialogResult::Ok && answer.editCheckOut)
        answer.editCheckOut(values);
    return answer.result;
}

int ScriptedArchiveDialogs::editExtract(ExtractDialogValues& values)
{
    m_extractShown.push_back(values);
    Answer answer = takeAnswer(RequestKind::Extract, values.title);
    if (answer.result == DialogResult::Ok && answer.editExtract)
        answer.editExtract(values);
    return answer.result;
}

void ScriptedArchiveDialogs::showZipFileInfo(const ZipFileInfo& info)
{
    m_infoShown.push_back(info);
    (void)takeAnswer(RequestKind::Info, "ZIP File Info");
}

} // namespace quarvo::testing
