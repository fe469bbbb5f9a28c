#include "core/desktop/DesktopEntry.h"

#include "core/desktop/DesktopKinds.h"

namespace quarvo {

std::string escapeDesktopString(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string quoteExecArgument(std::string_view argument)
{
    // Inside double quotes, '"', '`', '$' and '\' take a backslash; a literal '%' is written "%%"
    // so it is never read as a field code.
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    return escapeDesktopString(quoted);
}

namespace {

// The entry with the given TryExec value and the program word of its Exec lines.
std::string entryText(std::string_view tryExec, std::string_view execProgram)
{
    std::string program(execProgram);
    std::string mimeTypes;
    for (const DesktopKind& kind : desktopKinds()) {
        mimeTypes += kind.mimeType;
        mimeTypes += ';';
    }
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Version=1.4\n"
                       "Name=Quarvo\n"
                       "GenericName=Archive Manager\n"
                       "Comment=Create, open, extract and test ZIP archives; read TAR archives\n"
                       "Icon=" + std::string(ProgramIconName) + "\n"
                       "TryExec=" + escapeDesktopString(tryExec) + "\n"
                       "Exec=" + program + " %f\n"
                       "Terminal=false\n"
                       "Categories=Utility;Archiving;Compression;\n"
                       "MimeType=" + mimeTypes + "\n"
                       "Actions=extract;\n"
                       "\n"
                       "[Desktop Action extract]\n"
                       "Name=Extract...\n"
                       "Exec=" + program + " --extract %f\n";
    return text;
}

} // namespace

std::string desktopEntryText(std::string_view programPath)
{
    return entryText(programPath, quoteExecArgument(programPath));
}

std::string installedDesktopEntryText()
{
    return entryText(InstalledProgramName, InstalledProgramName);
}

} // namespace quarvo
