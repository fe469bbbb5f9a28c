#include "gui/launch/DesktopLaunchServices.h"

#include "gui/launch/FileStamp.h"
#include "gui/launch/ProcessStarter.h"
#include "gui/launch/ProgramAssociation.h"
#include "gui/launch/WindowActivation.h"

namespace quarvo::gui {

DesktopLaunchServices::DesktopLaunchServices(QObject* parent) : QObject(parent)
{
    connect(&m_processes, &ProcessWatcher::processEnded, this,
            [this](qint64 processId, int) { onProcessEnded(int64_t(processId)); });
    connect(&m_handOffs, &HandOffWatch::fileChanged, this, &DesktopLaunchServices::onFileChanged);
}

DesktopLaunchServices::~DesktopLaunchServices() = default;

LaunchAttempt DesktopLaunchServices::adopt(StartResult started)
{
    if (!started)
        return {started.error().code, 0};
    StartedProcess process = std::move(started.value());
    // An application the desktop started over D-Bus is no process of ours: an id of its own stands
    // for it, whose end is the change of its file.
    const int64_t processId = process.hasProcess() ? int64_t(process.pid) : m_nextHandOffId--;
    if (process.hasProcess())
        m_started.emplace(processId, std::move(process));
    return {LaunchCode::Started, processId};
}

LaunchAttempt DesktopLaunchServices::startAssociatedProgram(const std::string& file, const std::string& directory)
{
    std::optional<AssociatedProgram> program = programFor(file);
    if (!program)
        return {LaunchCode::NoAssociation, 0};
    return adopt(openWithProgram(*program, file, directory));
}

LaunchAttempt DesktopLaunchServices::startProcess(const std::string& program,
                                                  const std::vector<std::string>& arguments,
                                                  const std::string& directory)
{
    return adopt(startProgram(program, arguments, directory));
}

void DesktopLaunchServices::watchProcess(int64_t processId, const std::string& file, std::function<void()> onEnd)
{
    Watched& watched = m_watched[processId];
    watched.file = QString::fromStdString(file);
    watched.running.start();
    watched.onEnd = std::move(onEnd);
    auto started = m_started.find(processId);
    if (started != m_started.end()) {
        m_processes.watch(std::move(started->second));
        m_started.erase(started);
    } else if (processId < 0) {
        onProcessEnded(processId);
    } else {
        m_processes.watch(pid_t(processId));
    }
}

void DesktopLaunchServices::onProcessEnded(int64_t processId)
{
    forgetEndedWhoseFileIsGone();
    auto found = m_watched.find(processId);
    if (found == m_watched.end())
        return;
    std::function<void()> onEnd = found->second.onEnd;
    // Only a program that ended at once may have handed its file over.
    if (found->second.running.elapsed() < std::chrono::milliseconds(HandOffWindow).count())
        found->second.ended = true;
    else
        m_watched.erase(found);
    onEnd();
}

bool DesktopLaunchServices::watchHandOff(int64_t processId, const std::string& file)
{
    auto found = m_watched.find(processId);
    if (found == m_watched.end() || !found->second.ended || found->second.file != QString::fromStdString(file))
        return false;
    if (m_handOffs.watchFile(found->second.file))
        return true;
    m_watched.erase(found);
    return false;
}

void DesktopLaunchServices::onFileChanged(const QString& file)
{
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it) {
        if (it->second.ended && it->second.file == file) {
            std::function<void()> onEnd = std::move(it->second.onEnd);
            m_watched.erase(it);
            onEnd();
            return;
        }
    }
}

// A copy whose item was closed is deleted: nothing will ask about its program again.
void DesktopLaunchServices::forgetEndedWhoseFileIsGone()
{
    for (auto it = m_watched.begin(); it != m_watched.end();) {
        if (it->second.ended && !stampOf(it->second.file.toStdString())) {
            m_handOffs.stop(it->second.file);
            it = m_watched.erase(it);
        } else {
            ++it;
        }
    }
}

bool DesktopLaunchServices::activateProcessWindow(int64_t processId)
{
    return processId > 0 && activateWindowOfProcess(processId);
}

} // namespace quarvo::gui
