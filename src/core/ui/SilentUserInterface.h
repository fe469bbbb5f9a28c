#pragma once

#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"

namespace quarvo {

// The port for a program nobody answers (the command-line front end, timing tools, fuzzers): nothing
// is shown, every question is cancelled and file dialogs choose nothing. Override what must answer
// otherwise.
class SilentUserInterface : public UserInterface {
  public:
    int showMessage(const MessageBoxRequest&) override { return DialogResult::Cancel; }
    int askCloseQuestion(const std::string&) override { return DialogResult::Cancel; }
    void setStatusText(const std::string&) override {}
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
    void openProgress(std::atomic<bool>&) override {}
    void setProgressCaption(const std::string&) override {}
    void setProgress(const std::string&, int) override {}
    void closeProgress() override {}
    bool processEvents() override { return false; }
    std::vector<std::string> chooseFilesToOpen(const FileDialogRequest&) override { return {}; }
    std::string chooseFileToSave(const FileDialogRequest&) override { return {}; }
    int editGeneralOptions(GeneralOptionsValues&) override { return DialogResult::Cancel; }
    int editCommandLine(const std::string&, std::string&) override { return DialogResult::Cancel; }
    int askPassword(const std::string&, std::string&) override { return DialogResult::Cancel; }
};

} // namespace quarvo
