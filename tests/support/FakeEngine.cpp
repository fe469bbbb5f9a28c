#include "support/FakeEngine.h"

#include <filesystem>

namespace quarvo::testing {

namespace {

FakeEngine::Text textOf(const char* pointer)
{
    return pointer ? FakeEngine::Text(pointer) : std::nullopt;
}

std::string workingDirectory()
{
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

uint16_t nextResult(std::deque<uint16_t>& results)
{
    if (results.empty())
        return 0;
    uint16_t result = results.front();
    results.pop_front();
    return result;
}

} // namespace

uint16_t FakeEngine::runDzip(ZipCommand& command)
{
    m_zipCalls.push_back({command, textOf(command.archivePath), textOf(command.itemSpecification),
                          textOf(command.temporaryDirectory), textOf(command.comment), textOf(command.date),
                          textOf(command.includeList), textOf(command.excludeList), textOf(command.password),
                          workingDirectory()});
    return m_zipAction ? m_zipAction(command) : nextResult(m_zipResults);
}

uint16_t FakeEngine::runDunzip(UnzipCommand& command)
{
    m_unzipCalls.push_back({command, textOf(command.archivePath), textOf(command.itemSpecification),
                            textOf(command.destinationDirectory), textOf(command.password),
                            workingDirectory()});
    return m_unzipAction ? m_unzipAction(command) : nextResult(m_unzipResults);
}

} // namespace quarvo::testing
