#include "core/zip/ZipProbe.h"

#include "core/zip/ArchiveFile.h"
#include "core/zip/EndRecordSearch.h"

namespace quarvo {

bool holdsZipDirectory(const std::string& path)
{
    ArchiveFile file;
    if (!file.open(path))
        return false;
    Result<std::optional<EndRecordCandidate>> chosen = chooseEndRecord(file);
    if (!chosen || !chosen->has_value())
        return false;
    return locateDirectory(file, **chosen).fit != DirectoryLocation::Fit::None;
}

} // namespace quarvo
