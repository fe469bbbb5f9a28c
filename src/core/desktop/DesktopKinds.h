#pragma once

#include "core/app/DocumentKindTable.h"

#include <span>
#include <string_view>

namespace quarvo {

// How the desktop knows one document kind: its MIME type, and whether that type is Quarvo's own
// (defined by Quarvo's shared-mime-info package) or a standard one the desktop already knows.
struct DesktopKind {
    const DocumentKindInfo* info = nullptr; // extension and type name
    std::string_view mimeType;
    bool ownType = false;
};

// The eight kinds in registration order.
std::span<const DesktopKind> desktopKinds();

// The icon theme's name for a MIME type: "application/zip" gives "application-zip".
std::string iconNameForMimeType(std::string_view mimeType);

} // namespace quarvo
