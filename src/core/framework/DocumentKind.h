#pragma once

#include <functional>
#include <memory>
#include <string>

namespace quarvo {

class Document;

// One registered kind of document: what files it claims and how to make a document for it.
struct DocumentKind {
    int resourceId = 0;
    // With the leading dot, for example ".zip"; compared ignoring case.
    std::string extension;
    // The filter line of file dialogs, for example "ZIP Files (*.zip)".
    std::string filterName;
    // The type id and type name the desktop registration uses.
    std::string typeId;
    std::string typeName;
    std::function<std::unique_ptr<Document>()> create;
};

} // namespace quarvo
