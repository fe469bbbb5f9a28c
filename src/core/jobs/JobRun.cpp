#include "core/jobs/JobRun.h"

#include "core/ui/UserInterface.h"

namespace quarvo {

uint16_t refuseJob(UserInterface& ui, const std::string& reason)
{
    MessageBoxRequest request;
    request.text = reason + "\n\nThe job was not run.";
    request.icon = MessageIcon::Warning;
    ui.showMessage(request);
    return JobResult::Refused;
}

} // namespace quarvo
