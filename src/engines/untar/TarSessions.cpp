#include "engines/untar/TarSessions.h"

namespace quarvo {

TarSessions& TarSessions::instance()
{
    static TarSessions sessions;
    return sessions;
}

int32_t TarSessions::add(std::unique_ptr<OpenTarArchive> archive)
{
    std::lock_guard lock(m_mutex);
    const int32_t handle = m_nextHandle++;
    m_archives.emplace(handle, std::move(archive));
    return handle;
}

OpenTarArchive* TarSessions::find(int32_t handle)
{
    std::lock_guard lock(m_mutex);
    auto found = m_archives.find(handle);
    return found == m_archives.end() ? nullptr : found->second.get();
}

bool TarSessions::close(int32_t handle)
{
    std::lock_guard lock(m_mutex);
    return m_archives.erase(handle) > 0;
}

} // namespace quarvo
