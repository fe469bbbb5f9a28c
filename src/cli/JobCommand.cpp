#include "cli/JobCommand.h"

#include "core/engine/LinkedEngines.h"
#include "core/jobs/JobFileRun.h"
#include "core/jobs/UnattendedUserInterface.h"
#include "core/settings/AppSettings.h"

#include <cstdio>

namespace quarvo::cli {

uint16_t runJobCommand(const std::string& jobFile)
{
    AppSettings settings;
    settings.loadLogFile();
    UnattendedUserInterface ui(stderr);
    LinkedEngines engines;
    return runJobFile(jobFile, ui, engines, settings);
}

} // namespace quarvo::cli
