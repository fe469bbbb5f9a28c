#include "core/framework/DocumentSaving.h"

#include "core/framework/Document.h"
#include "core/framework/View.h"
#include "core/text/PathParts.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"

namespace quarvo {

namespace {

bool writeTo(Document& document, const std::string& path, UserInterface& ui)
{
    Result<Ok> written = document.onSaveDocument(path);
    if (!written) {
        MessageBoxRequest request;
        request.text = std::string(SaveTexts::Failed) + "\n\n" + written.error().message;
        request.icon = MessageIcon::Warning;
        ui.showMessage(request);
        return false;
    }
    document.setModified(false);
    if (document.path() != path) {
        document.setPath(path);
        document.updateAllViews(nullptr, UpdateHint::TitleChanged);
    }
    return true;
}

} // namespace

std::string saveQuestionFor(const std::string& name)
{
    std::string question = SaveTexts::Question;
    question.replace(question.find("%1"), 2, name);
    return question;
}

bool saveDocument(Document& document, UserInterface& ui)
{
    if (!document.isSavable())
        return false;
    if (document.path().empty())
        return saveDocumentAs(document, ui);
    return writeTo(document, document.path(), ui);
}

bool saveDocumentAs(Document& document, UserInterface& ui)
{
    if (!document.isSavable())
        return false;
    FileDialogRequest request = document.saveAsRequest();
    if (request.title.empty())
        request.title = SaveTexts::SaveAsTitle;
    if (document.path().empty()) {
        request.fileName = document.title().empty() ? SaveTexts::UntitledName : document.title();
    } else {
        request.initialDirectory = std::string(directoryPart(document.path()));
        request.fileName = std::string(fileNamePart(document.path()));
    }
    std::string path = ui.chooseFileToSave(request);
    if (path.empty())
        return false;
    return writeTo(document, path, ui);
}

bool saveModifiedDocument(Document& document, UserInterface& ui)
{
    if (!document.isSavable() || !document.isModified())
        return true;
    MessageBoxRequest request;
    std::string name = document.path().empty() ? document.title() : document.path();
    request.text = saveQuestionFor(name.empty() ? SaveTexts::UntitledName : name);
    request.buttons = MessageButtons::YesNoCancel;
    request.icon = MessageIcon::Question;
    switch (ui.showMessage(request)) {
    case DialogResult::Yes:
        return saveDocument(document, ui);
    case DialogResult::No:
        return true;
    default:
        return false;
    }
}

} // namespace quarvo
