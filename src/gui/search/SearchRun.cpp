#include "gui/search/SearchRun.h"

#include "core/app/CancelFlags.h"
#include "core/search/SearchLocations.h"
#include "core/zip/ZipNames.h"

#include <chrono>

namespace quarvo::gui {

namespace {

// The "Searching:" line changes at most this often: a walk passes thousands of directories a
// second, and every change would otherwise cost a repaint.
constexpr auto ExaminingInterval = std::chrono::milliseconds(50);

} // namespace

SearchRun::SearchRun(QString location, SearchCriteria criteria, QObject* parent)
    : QObject(parent), m_location(std::move(location)), m_criteria(std::move(criteria))
{
}

SearchRun::~SearchRun()
{
    stop();
    wait();
}

void SearchRun::start()
{
    m_done = false;
    m_stopped = false;
    CancelFlags::zipSearch = false;
    m_thread = std::thread([this] { run(); });
}

void SearchRun::stop()
{
    m_stopped = true;
    cancel();
}

void SearchRun::cancel()
{
    if (isRunning())
        CancelFlags::zipSearch = true;
}

void SearchRun::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void SearchRun::run()
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point lastShown{};
    std::string pending;
    SearchListener listener;
    listener.examining = [&](const std::string& path) {
        const Clock::time_point now = Clock::now();
        if (now - lastShown < ExaminingInterval) {
            pending = path;
            return;
        }
        lastShown = now;
        pending.clear();
        emit examining(QString::fromStdString(escapeControlCharacters(path)));
    };
    listener.found = [this](const SearchResultLine& line) {
        emit found(int(line.kind), QString::fromStdString(line.text),
                   QString::fromStdString(line.archivePath));
    };
    searchLocations(m_location.toStdString(), m_criteria, listener, CancelFlags::zipSearch,
                    [this] { return !m_stopped; });
    if (!pending.empty())
        emit examining(QString::fromStdString(escapeControlCharacters(pending)));
    m_done = true;
    emit finished();
}

} // namespace quarvo::gui
