#pragma once

#include "core/ui/FileDialogRequest.h"
#include "core/ui/GeneralOptionsValues.h"
#include "core/ui/MessageBoxRequest.h"

#include <atomic>
#include <string>
#include <vector>

namespace quarvo {

// The core's only way to reach the user. The Qt layer implements it with real widgets; the tests
// implement it with a scripted fake that records every text and answers from a queue.
//
// Every modal request returns a DialogResult. Dialogs with many fields take a plain struct of their
// values, which the implementation shows and, on OK or Save, writes back.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal message box; returns the DialogResult of the button pressed.
    virtual int showMessage(const MessageBoxRequest& request) = 0;

    // The close question with "&Yes", "Yes To &All", "&No" (default) and "Cancel";
    // returns DialogResult::Yes, YesToAll, No or Cancel.
    virtual int askCloseQuestion(const std::string& text) = 0;

    // The message pane of the status bar.
    virtual void setStatusText(const std::string& text) = 0;

    // The wait cursor, shown while a long step runs without a progress window. Calls nest.
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;

    // The modeless progress window of an engine operation: a caption, one status line, a percentage
    // bar and a Cancel button that sets cancelRequest (the flag of the operation that runs, one of
    // CancelFlags). Only one is open at a time.
    virtual void openProgress(std::atomic<bool>& cancelRequest) = 0;
    virtual void setProgressCaption(const std::string& caption) = 0;
    virtual void setProgress(const std::string& statusText, int percent) = 0;
    virtual void closeProgress() = 0;

    // Lets the user interface handle what is pending (painting, the Cancel button). Returns true
    // when the user asked to quit the program meanwhile.
    virtual bool processEvents() = 0;

    // File dialogs; an empty result means the user cancelled.
    virtual std::vector<std::string> chooseFilesToOpen(const FileDialogRequest& request) = 0;
    virtual std::string chooseFileToSave(const FileDialogRequest& request) = 0;

    // The General Options dialog; returns DialogResult::Ok, Save or Cancel.
    virtual int editGeneralOptions(GeneralOptionsValues& values) = 0;

    // The "Run File" dialog: message on a line of its own above "Command Line:" and the command line
    // in an edit field, with "&Execute", "&Cancel" and "&Help". "&Execute" returns DialogResult::Ok
    // with commandLine holding the edited text; anything else returns Cancel and leaves it alone.
    virtual int editCommandLine(const std::string& message, std::string& commandLine) = 0;

    // Asks for the password of the encrypted entry entryName. DialogResult::Ok with password holding
    // what was typed, or Cancel, leaving it alone.
    virtual int askPassword(const std::string& entryName, std::string& password) = 0;
};

} // namespace quarvo
