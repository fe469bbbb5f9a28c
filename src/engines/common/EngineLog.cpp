#include "engines/common/EngineLog.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace quarvo {

EngineLog::EngineLog(std::string path) : m_path(std::move(path)) {}

EngineLog::~EngineLog()
{
    if (m_file)
        std::fclose(m_file);
}

std::string EngineLog::defaultPath(std::string_view fileName)
{
    std::filesystem::path directory;
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') {
        directory = state;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !home[0])
            return {};
        directory = std::filesystem::path(home) / ".local" / "state";
    }
    return (directory / "quarvo" / fileName).string();
}

void EngineLog::write(std::string_view text)
{
    if (m_path.empty() || m_failed)
        return;
    if (!m_file) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), error);
        m_file = std::fopen(m_path.c_str(), "a");
        if (!m_file) {
            m_failed = true;
            return;
        }
    }
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", &local);
    std::fputs(stamp, m_file);
    std::fwrite(text.data(), 1, text.size(), m_file);
    if (text.empty() || text.back() != '\n')
        std::fputc('\n', m_file);
    if (std::fflush(m_file) != 0)
        m_failed = true;
}

} // namespace quarvo
