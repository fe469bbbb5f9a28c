#include "core/app/ExecuteCommandDispatcher.h"

#include "core/app/ExecuteCommand.h"

namespace quarvo {

namespace {

bool runExecute(const ExecuteCommand& command, ExecuteCommandTarget& target)
{
    const bool openedHere = !target.isDocumentOpen(command.path);
    Document* document = target.openDocument(command.path);
    if (!document)
        return false;
    target.showMainWindowIfHidden();
    JobKind job = jobKindForPath(command.path);
    if (job == JobKind::None)
        return false;
    target.runJob(*document, job);
    if (openedHere)
        target.closeDocument(*document);
    return true;
}

bool runAdd(const ExecuteCommand& command, ExecuteCommandTarget& target)
{
    if (!command.path.empty()) {
        if (!target.openDocument(command.path))
            return false;
        target.showMainWindowIfHidden();
    }
    return target.offerFilesForCompression(command.path, command.fileList);
}

bool runExtract(const ExecuteCommand& command, ExecuteCommandTarget& target)
{
    Document* document = target.openDocument(command.path);
    if (!document)
        return false;
    target.showMainWindowIfHidden();
    target.startExtract(*document);
    return true;
}

} // namespace

bool dispatchExecuteCommand(std::string_view text, ExecuteCommandTarget& target)
{
    std::optional<ExecuteCommand> command = parseExecuteCommand(text);
    if (!command)
        return false;
    switch (command->verb) {
    case ExecuteVerb::Open:
        target.openDocument(command->path);
        target.showMainWindowIfHidden();
        return true;
    case ExecuteVerb::Execute:
        return runExecute(*command, target);
    case ExecuteVerb::Add:
        return runAdd(*command, target);
    case ExecuteVerb::Extract:
        return runExtract(*command, target);
    }
    return false;
}

} // namespace quarvo
