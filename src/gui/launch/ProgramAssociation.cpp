#include <gio/gio.h>

#include "gui/launch/ProgramAssociation.h"

#include "core/base/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo::gui {

namespace {

// About as many bytes as GIO itself reads to tell a file's type by its contents.
constexpr size_t SniffLength = 4096;

// The first bytes of a regular file, or nothing: a FIFO or a device is never read (O_NONBLOCK, then
// a type check), so a strange entry cannot hold the program up, and a symbolic link is not followed,
// so its type is told by its name alone.
std::string leadingBytes(const std::string& path)
{
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    struct stat status {};
    if (!file || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    std::string bytes(SniffLength, '\0');
    ssize_t count = ::read(file.get(), bytes.data(), bytes.size());
    bytes.resize(count > 0 ? size_t(count) : 0);
    return bytes;
}

std::string textOrEmpty(const char* text)
{
    return text ? std::string(text) : std::string();
}

} // namespace

void AssociatedProgram::Unreference::operator()(GAppInfo* appInfo) const
{
    g_object_unref(appInfo);
}

AssociatedProgram::AssociatedProgram(GAppInfo* appInfo)
    : m_appInfo(appInfo), m_id(textOrEmpty(g_app_info_get_id(appInfo))),
      m_displayName(textOrEmpty(g_app_info_get_display_name(appInfo))),
      m_executable(textOrEmpty(g_app_info_get_executable(appInfo)))
{
}

std::string contentTypeOf(const std::string& path)
{
    std::string bytes = leadingBytes(path);
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(path.c_str(), reinterpret_cast<const guchar*>(bytes.data()),
                                       bytes.size(), &uncertain);
    std::string result = textOrEmpty(type);
    g_free(type);
    return result;
}

std::optional<AssociatedProgram> programFor(const std::string& path)
{
    std::string type = contentTypeOf(path);
    GAppInfo* appInfo = g_app_info_get_default_for_type(type.c_str(), FALSE);
    if (!appInfo)
        return std::nullopt;
    return AssociatedProgram(appInfo);
}

} // namespace quarvo::gui
