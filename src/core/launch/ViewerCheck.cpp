#include "core/launch/ViewerCheck.h"

#include "core/launch/ViewerProgram.h"
#include "core/ui/DialogResult.h"

namespace quarvo {

std::optional<std::string> viewerNotFoundMessage(const std::string& viewerName,
                                                 const std::string& programDirectory)
{
    if (viewerName.empty() || resolveViewerProgram(viewerName, programDirectory))
        return std::nullopt;
    // The default name stands for a file the user never typed: the message names that file.
    std::string bundled =
        isDefaultViewerName(viewerName) ? bundledViewerPath(programDirectory) : std::string();
    if (!bundled.empty())
        return "File not found: \n\"" + bundled + "\"";
    if (viewerName.find('/') == std::string::npos)
        return "File not found in path: \n\"" + viewerName + "\"";
    return "File not found: \n\"" + viewerName + "\"";
}

int editGeneralOptions(AppSettings& settings, UserInterface& ui)
{
    GeneralOptionsValues values{settings.viewerName, settings.logFile != 0};
    int result = ui.editGeneralOptions(values);
    if (result == DialogResult::Ok || result == DialogResult::Save) {
        settings.viewerName = values.viewerName;
        settings.logFile = values.logFile ? 1 : 0;
        if (result == DialogResult::Save)
            settings.saveGeneral();
        return result;
    }
    if (viewerNotFoundMessage(settings.viewerName, settings.programDirectory()))
        settings.viewerName.clear();
    return result;
}

void checkViewerAtStartup(AppSettings& settings, UserInterface& ui)
{
    std::optional<std::string> message =
        viewerNotFoundMessage(settings.viewerName, settings.programDirectory());
    if (!message)
        return;
    MessageBoxRequest request;
    request.text = *message;
    request.buttons = MessageButtons::Ok;
    ui.showMessage(request);
    editGeneralOptions(settings, ui);
}

} // namespace quarvo
