#include "core/desktop/MimePackage.h"

#include "core/desktop/DesktopKinds.h"

namespace quarvo {

namespace {

std::string escapeXml(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

} // namespace

std::string mimePackageText()
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const DesktopKind& kind : desktopKinds()) {
        if (!kind.ownType)
            continue;
        text += "  <mime-type type=\"" + escapeXml(kind.mimeType) + "\">\n";
        text += "    <comment>" + escapeXml(kind.info->typeName) + "</comment>\n";
        // The job files are profile text: a program that knows nothing of them may show them as text.
        text += "    <sub-class-of type=\"text/plain\"/>\n";
        text += "    <icon name=\"" + iconNameForMimeType(kind.mimeType) + "\"/>\n";
        text += "    <glob pattern=\"*" + escapeXml(kind.info->extension) + "\"/>\n";
        text += "  </mime-type>\n";
    }
    text += "</mime-info>\n";
    return text;
}

} // namespace quarvo
