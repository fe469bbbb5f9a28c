#include "core/app/MailAttachments.h"

#include "core/app/DocumentKindTable.h"
#include "core/framework/Document.h"
#include "core/framework/DocumentKind.h"

namespace quarvo {

namespace {

std::vector<std::string> pathsOfKind(const std::vector<Document*>& documents, int resourceId)
{
    std::vector<std::string> paths;
    for (const Document* document : documents) {
        if (document->kind() && document->kind()->resourceId == resourceId && !document->path().empty())
            paths.push_back(document->path());
    }
    return paths;
}

} // namespace

std::vector<std::string> mailAttachmentPaths(const std::vector<Document*>& documents)
{
    std::vector<std::string> paths = pathsOfKind(documents, DocumentKindId::Zip);
    for (std::string& path : pathsOfKind(documents, DocumentKindId::Tar))
        paths.push_back(std::move(path));
    return paths;
}

} // namespace quarvo
