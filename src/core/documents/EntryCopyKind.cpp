#include "core/documents/EntryCopyKind.h"

#include "core/app/DocumentKindTable.h"
#include "core/base/TextCase.h"
#include "core/text/PathParts.h"

namespace quarvo {

namespace {

// A self-extractor is a program with an archive appended; no document kind claims its extension.
constexpr std::string_view SelfExtractorExtension = "exe";

EntryCopyKind kindOfDocument(const DocumentKindInfo& info)
{
    if (info.isJob)
        return EntryCopyKind::JobFile;
    return info.resourceId == DocumentKindId::Zip ? EntryCopyKind::ZipArchive : EntryCopyKind::TarArchive;
}

} // namespace

EntryCopyKind entryCopyKind(std::string_view name)
{
    std::string_view extension = extensionPart(name);
    if (extension.empty())
        return EntryCopyKind::Other;
    if (equalsIgnoringCase(extension, SelfExtractorExtension))
        return EntryCopyKind::ZipArchive;
    for (const DocumentKindInfo& info : documentKindTable()) {
        // The table's extensions carry their dot.
        if (equalsIgnoringCase(info.extension.substr(1), extension))
            return kindOfDocument(info);
    }
    return EntryCopyKind::Other;
}

} // namespace quarvo
