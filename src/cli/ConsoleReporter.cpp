#include "cli/ConsoleReporter.h"

#include "core/zip/ZipNames.h"
#include "engines/api/EngineCallbacks.h"

#include <csignal>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quarvo::cli {

namespace {

constexpr size_t DefaultColumns = 80;
constexpr int CancelSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_cancelRequested = 0;

void onCancelSignal(int signalNumber)
{
    g_cancelRequested = 1;
    // The next signal of that kind is not caught: a user pressing Ctrl+C twice gets out even when
    // the engine stopped calling back.
    std::signal(signalNumber, SIG_DFL);
}

size_t terminalColumns(int descriptor)
{
    winsize size{};
    if (ioctl(descriptor, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return DefaultColumns;
}

} // namespace

ConsoleReporter::ConsoleReporter(std::FILE* stream) : m_stream(stream)
{
    const int descriptor = fileno(stream);
    if (isatty(descriptor)) {
        m_bar.emplace(
            [stream](std::string_view bytes) {
                std::fwrite(bytes.data(), 1, bytes.size(), stream);
                std::fflush(stream);
            },
            terminalColumns(descriptor));
    } else {
        // Nobody watches a pipe or a file line by line; a full buffer keeps a run that reports
        // 100,000 entries from making 100,000 system calls.
        std::setvbuf(stream, nullptr, _IOFBF, 1 << 16);
    }
    g_cancelRequested = 0;
    for (int signalNumber : CancelSignals)
        std::signal(signalNumber, onCancelSignal);
}

ConsoleReporter::~ConsoleReporter()
{
    finish();
    for (int signalNumber : CancelSignals)
        std::signal(signalNumber, SIG_DFL);
}

void ConsoleReporter::line(std::string_view text)
{
    if (m_bar)
        m_bar->clear();
    // A text of several lines stays several lines; every other control character is escaped.
    if (text.ends_with('\n'))
        text.remove_suffix(1);
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view part = text.substr(start, end - start);
        if (part.ends_with('\r'))
            part.remove_suffix(1);
        out += escapeControlCharacters(part);
        out += '\n';
        start = end + 1;
    }
    std::fwrite(out.data(), 1, out.size(), m_stream);
}

void ConsoleReporter::finish()
{
    if (m_bar)
        m_bar->clear();
    std::fflush(m_stream);
}

int ConsoleReporter::cancelRequested()
{
    return g_cancelRequested ? 1 : 0;
}

int ConsoleReporter::onMessage(const char* text, uint32_t, void* data)
{
    if (text)
        static_cast<ConsoleReporter*>(data)->line(text);
    return cancelRequested();
}

int ConsoleReporter::onStatus(const char* text, uint32_t percent, void* data)
{
    auto* reporter = static_cast<ConsoleReporter*>(data);
    if (reporter->m_bar)
        reporter->m_bar->update(text ? text : "", percent, ProgressBar::Clock::now());
    return cancelRequested();
}

int ConsoleReporter::onQuery(uint32_t code, uint32_t, uint32_t, uint32_t, char* text1, char*, void* data)
{
    // Notices are shown like messages. The archive comment is for a window that has room for it; a
    // listing with -v shows it instead.
    if (code == EngineQuery::Notice && text1)
        static_cast<ConsoleReporter*>(data)->line(text1);
    return cancelRequested();
}

} // namespace quarvo::cli
