#include "engines/common/EngineReporter.h"

#include <vector>

namespace quarvo {

namespace {

// Often enough for Cancel to act at once, rarely enough that a caller who pumps its window
// messages in the callback does not slow the engine down.
constexpr auto statusRepeatInterval = std::chrono::milliseconds(15);

} // namespace

EngineReporter::EngineReporter(const Callbacks& callbacks, EngineLog* log)
    : m_callbacks(callbacks), m_log(log)
{
}

bool EngineReporter::message(std::string_view text)
{
    log(text);
    if (m_stopped)
        return false;
    if (!m_callbacks.message)
        return true;
    const std::string copy(text);
    if (m_callbacks.message(copy.c_str(), 0, m_callbacks.messageData) == 1)
        m_stopped = true;
    return !m_stopped;
}

void EngineReporter::log(std::string_view text)
{
    if (m_log)
        m_log->write(text);
}

bool EngineReporter::status(std::string_view text, uint32_t percent)
{
    if (m_stopped)
        return false;
    if (percent > 100)
        percent = 100;
    const bool repeat = text == m_statusText && percent == m_percent;
    if (repeat && std::chrono::steady_clock::now() - m_lastStatus < statusRepeatInterval)
        return true;
    if (text != m_statusText)
        m_statusText.assign(text);
    return callStatus(percent);
}

bool EngineReporter::keepAlive()
{
    if (m_stopped)
        return false;
    if (std::chrono::steady_clock::now() - m_lastStatus < statusRepeatInterval)
        return true;
    return callStatus(m_percent);
}

bool EngineReporter::callStatus(uint32_t percent)
{
    m_percent = percent;
    m_lastStatus = std::chrono::steady_clock::now();
    if (m_callbacks.status && m_callbacks.status(m_statusText.c_str(), percent, m_callbacks.statusData) == 1)
        m_stopped = true;
    return !m_stopped;
}

bool EngineReporter::notice(std::string_view text)
{
    log(text);
    if (m_stopped)
        return false;
    if (!m_callbacks.query)
        return true;
    // The callee may rewrite the text in place, so it gets a buffer of its own.
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    if (m_callbacks.query(EngineQuery::Notice, 0, 0, 0, buffer.data(), nullptr, m_callbacks.queryData) == 1)
        m_stopped = true;
    return !m_stopped;
}

} // namespace quarvo
