#pragma once

#include <string>
#include <vector>

namespace quarvo {

class Document;

// What "All Open Documents" sends: the paths of the open ZIP archives in opening order, then those
// of the open plain TAR archives (compressed TAR and stream documents are not sent). Documents
// without a path are left out. The input is the document manager's order: by kind, then opening.
std::vector<std::string> mailAttachmentPaths(const std::vector<Document*>& documents);

} // namespace quarvo
