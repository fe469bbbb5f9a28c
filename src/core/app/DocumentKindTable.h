#pragma once

#include "core/framework/DocumentKind.h"

#include <functional>
#include <memory>
#include <span>
#include <string_view>

namespace quarvo {

// The document kinds the program knows, with the words of their document strings: what the file
// dialogs show and what the desktop registration writes.
struct DocumentKindInfo {
    int resourceId = 0;
    std::string_view extension; // with the dot
    std::string_view filterName;
    std::string_view filterText;
    std::string_view typeId;
    std::string_view typeName;
    bool isJob = false;
};

// Resource ids of the kinds; each also names the kind's menu.
namespace DocumentKindId {
constexpr int Main = 4; // the main window's own menu, when no document window is active
constexpr int Zip = 5;
constexpr int UnzipJob = 8;
constexpr int ZipJob = 10;
constexpr int Tar = 11;
constexpr int Tgz = 16;
constexpr int Taz = 19;
constexpr int Gz = 23;
constexpr int Z = 22;
} // namespace DocumentKindId

// The eight kinds in registration order: the six archive kinds (ZIP first, so it opens a file whose
// extension no kind claims), then the UNZIP job and the ZIP job.
std::span<const DocumentKindInfo> documentKindTable();

// The row of a resource id; null for an id that is not a document kind.
const DocumentKindInfo* findDocumentKindInfo(int resourceId);

// The document string of a kind: empty window title, empty document name, filter name, filter text,
// extension, type id and type name, separated by "\n".
std::string documentString(const DocumentKindInfo& info);

// Makes a registrable kind of a table row; create may be empty while the kind's documents cannot be
// made yet (the kind is still known, its files just do not open).
DocumentKind makeDocumentKind(const DocumentKindInfo& info,
                              std::function<std::unique_ptr<Document>()> create);

} // namespace quarvo
