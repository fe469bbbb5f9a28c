#include "TestLaunchServices.h"

#include "core/text/PathParts.h"

#include <QFile>
#include <QProcess>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>

namespace quarvo::testing {

namespace {

constexpr int PollMilliseconds = 20;

// Whether the process is gone: no such process, or a zombie nobody reaped yet.
bool hasEnded(int64_t processId)
{
    if (::kill(static_cast<pid_t>(processId), 0) != 0)
        return errno == ESRCH;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(processId));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    QByteArray line = stat.readAll();
    int close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() && line.at(close + 2) == 'Z';
}

} // namespace

LaunchAttempt TestLaunchServices::startAssociatedProgram(const std::string& file,
                                                         const std::string& directory)
{
    auto association = m_associations.find(std::string(extensionPart(file)));
    if (association == m_associations.end())
        return {LaunchCode::NoAssociation, 0};
    Started started = startProcess(association->second, {file}, directory);
    if (started.processId <= 0)
        return {launchCodeForErrno(started.error), 0};
    return {LaunchCode::Started, started.processId};
}

TestLaunchServices::Started TestLaunchServices::startProcess(const std::string& program,
                                                             const std::vector<std::string>& arguments,
                                                             const std::string& directory)
{
    QStringList list;
    for (const std::string& argument : arguments)
        list << QString::fromStdString(argument);
    qint64 processId = 0;
    if (QProcess::startDetached(QString::fromStdString(program), list, QString::fromStdString(directory),
                                &processId))
        return {processId, 0};
    struct stat status {};
    return {0, ::stat(program.c_str(), &status) != 0 ? ENOENT : EACCES};
}

void TestLaunchServices::watchProcess(int64_t processId, const std::string&, std::function<void()> onEnd)
{
    auto* poll = new QTimer(this);
    poll->setInterval(PollMilliseconds);
    connect(poll, &QTimer::timeout, this, [poll, processId, onEnd = std::move(onEnd)] {
        if (!hasEnded(processId))
            return;
        poll->stop();
        poll->deleteLater();
        onEnd();
    });
    poll->start();
}

bool TestLaunchServices::activateProcessWindow(int64_t)
{
    return m_windowsFound;
}

} // namespace quarvo::testing
