#include "core/documents/ArchiveDocument.h"

#include "core/app/CommandIds.h"

namespace quarvo {

std::optional<bool> sharedArchiveCommandState(int commandId, bool nested)
{
    switch (commandId) {
    case CommandId::DeleteZipFile:
        return !nested;
    case CommandId::ShowParent:
        return nested;
    case CommandId::Refresh:
    case CommandId::Info:
        return true;
    case CommandId::Save:
        return false;
    default:
        return std::nullopt;
    }
}

} // namespace quarvo
