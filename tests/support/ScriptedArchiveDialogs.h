#pragma once

#include "core/ui/ArchiveDialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace quarvo::testing {

// The archive dialogs of the core's tests, scripted like ScriptedUserInterface: each request takes
// the next queued answer, which must be of its kind; a request nobody expected, or an answer left
// over when the object goes away, fails the running test. Edits run only for an OK answer, as the
// port promises.
class ScriptedArchiveDialogs : public ArchiveDialogs {
  public:
    enum class RequestKind { AddFiles, FileList, Comment, Extract, CheckOut, Info };

    ScriptedArchiveDialogs() = default;
    ~ScriptedArchiveDialogs() override;

    void answerAddFiles(int result, std::function<void(AddFilesDialogValues&)> edit = {});
    void answerFileList(int result, std::function<void(FileListDialogValues&)> edit = {});
    // On OK the comment becomes text.
    void answerComment(int result, std::string text = {});
    void answerExtract(int result, std::function<void(ExtractDialogValues&)> edit = {});
    void answerCheckOut(int result, std::function<void(CheckOutDialogValues&)> edit = {});
    // Expects one "ZIP File Info" dialog.
    void expectInfo();

    // What the core showed, as it was handed in.
    const std::vector<AddFilesDialogValues>& addFilesShown() const { return m_addFilesShown; }
    const std::vector<FileListDialogValues>& fileListsShown() const { return m_fileListsShown; }
    const std::vector<std::string>& commentsShown() const { return m_commentsShown; }
    const std::vector<ExtractDialogValues>& extractShown() const { return m_extractShown; }
    const std::vector<CheckOutDialogValues>& checkOutShown() const { return m_checkOutShown; }
    const std::vector<ZipFileInfo>& infoShown() const { return m_infoShown; }
    size_t pendingAnswers() const { return m_answers.size(); }

    int editAddFiles(AddFilesDialogValues& values) override;
    int editFileList(FileListDialogValues& values) override;
    int editComment(std::string& comment) override;
    int editExtract(ExtractDialogValues& values) override;
    int editCheckOut(CheckOutDialogValues& values) override;
    void showZipFileInfo(const ZipFileInfo& info) override;

  private:
    struct Answer {
        Answer(RequestKind answered, int answer) : kind(answered), result(answer) {}
        RequestKind kind;
        int result = 0;
        std::function<void(AddFilesDialogValues&)> editAddFiles;
        std::function<void(FileListDialogValues&)> editFileList;
        std::string comment;
        std::function<void(ExtractDialogValues&)> editExtract;
        std::function<void(CheckOutDialogValues&)> editCheckOut;
    };

    // The next answer if it is of the expected kind; otherwise fails the test and answers Cancel.
    Answer takeAnswer(RequestKind kind, const std::string& title);

    std::deque<Answer> m_answers;
    std::vector<AddFilesDialogValues> m_addFilesShown;
    std::vector<FileListDialogValues> m_fileListsShown;
    std::vector<std::string> m_commentsShown;
    std::vector<ExtractDialogValues> m_extractShown;
    std::vector<CheckOutDialogValues> m_checkOutShown;
    std::vector<ZipFileInfo> m_infoShown;
};

const char* toString(ScriptedArchiveDialogs::RequestKind kind);

} // namespace quarvo::testing
