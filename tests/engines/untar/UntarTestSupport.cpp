#include "UntarTestSupport.h"

#include <algorithm>
#include <cstring>

namespace quarvo::testing {

namespace {

int onMessage(const char* text, uint32_t, void* data)
{
    static_cast<EngineRun*>(data)->messages.emplace_back(text);
    return 0;
}

int onStatus(const char* text, uint32_t percent, void* data)
{
    auto* run = static_cast<EngineRun*>(data);
    run->statuses.emplace_back(text);
    run->percents.push_back(percent);
    return run->onStatus ? run->onStatus(text) : 0;
}

} // namespace

bool EngineRun::mentioned(const std::string& part) const
{
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::string& text) { return text.find(part) != std::string::npos; });
}

std::string EngineRun::allMessages() const
{
    std::string all;
    for (const std::string& text : messages)
        all += text + "\n";
    return all;
}

void reportTo(UntarCommand& command, EngineRun& run)
{
    command.messageCallback = onMessage;
    command.messageCallbackData = &run;
    command.statusCallback = onStatus;
    command.statusCallbackData = &run;
}

void reportTo(StreamRequest& request, EngineRun& run)
{
    request.messageCallback = onMessage;
    request.messageCallbackData = &run;
    request.statusCallback = onStatus;
    request.statusCallbackData = &run;
}

EngineRun runUntarExtract(const std::string& archive, const std::string& destination,
                          const std::function<void(UntarCommand&)>& configure)
{
    EngineRun run;
    UntarCommand command;
    command.function = UntarFunction::Extract;
    command.archivePath = archive.c_str();
    command.itemSpecification = "*.*";
    command.destinationDirectory = destination.empty() ? nullptr : destination.c_str();
    command.testOnly = destination.empty() ? 1 : 0;
    command.reserved60 = 1;
    reportTo(command, run);
    if (configure)
        configure(command);
    run.result = untar(&command);
    run.warnings = command.warnings;
    return run;
}

EngineRun runStream(StreamRequest& request, uint32_t function, const std::string& input,
                    const std::string& workDirectory)
{
    EngineRun run;
    request.function = function;
    std::strncpy(request.inputPath, input.c_str(), sizeof request.inputPath - 1);
    std::strncpy(request.workDirectory, workDirectory.c_str(), sizeof request.workDirectory - 1);
    reportTo(request, run);
    run.result = untarStream(&request);
    run.warnings = request.warnings;
    return run;
}

} // namespace quarvo::testing
