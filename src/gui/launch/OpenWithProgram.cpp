#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "gui/launch/ChildSetup.h"
#include "gui/launch/PidFd.h"
#include "gui/launch/ProcessStarter.h"
#include "gui/launch/ProgramAssociation.h"
#include "gui/launch/WorkingDirectory.h"

#include <unistd.h>

namespace quarvo::gui {

namespace {

// What the child needs between fork and exec.
struct ChildData {
    int workingDirectory;
};

// Runs in the child after GLib's fork, before the exec. A child that cannot enter the directory the
// parent opened and checked must not run somewhere else: it ends as a shell does for a command it
// cannot run.
void prepareChild(gpointer data)
{
    if (prepareStartedChild(static_cast<const ChildData*>(data)->workingDirectory) != 0)
        ::_exit(127);
}

void rememberPid(GDesktopAppInfo*, GPid pid, gpointer data)
{
    *static_cast<pid_t*>(data) = pid;
}

int launchCodeFor(const GError* error)
{
    if (error->domain != G_SPAWN_ERROR)
        return LaunchCode::CouldNotLaunch;
    switch (error->code) {
    case G_SPAWN_ERROR_NOENT:
        return LaunchCode::FileNotFound;
    case G_SPAWN_ERROR_CHDIR:
        return LaunchCode::PathNotFound;
    case G_SPAWN_ERROR_NOMEM:
        return LaunchCode::InsufficientMemory;
    default:
        return LaunchCode::CouldNotLaunch;
    }
}

// The file as the one-element URI list GIO launches with; it turns the URI back into the path for %f.
struct FileUriList {
    explicit FileUriList(const std::string& path)
    {
        GFile* file = g_file_new_for_path(path.c_str());
        m_uri = g_file_get_uri(file);
        g_object_unref(file);
        m_list = g_list_append(nullptr, m_uri);
    }
    ~FileUriList()
    {
        g_list_free(m_list);
        g_free(m_uri);
    }
    FileUriList(const FileUriList&) = delete;
    FileUriList& operator=(const FileUriList&) = delete;

    GList* get() const { return m_list; }

  private:
    gchar* m_uri = nullptr;
    GList* m_list = nullptr;
};

} // namespace

StartResult openWithProgram(const AssociatedProgram& program, const std::string& file,
                            const std::string& workingDirectory)
{
    // Only a desktop entry can be started in a way that gives back the process.
    if (!G_IS_DESKTOP_APP_INFO(program.appInfo()))
        return LaunchFailure{LaunchCode::CouldNotLaunch, 0};
    auto directory = openWorkingDirectory(workingDirectory);
    if (!directory)
        return directory.error();

    ChildData setup{directory->get()};
    FileUriList uris(file);
    pid_t pid = 0;
    GError* error = nullptr;
    // G_SPAWN_DO_NOT_REAP_CHILD keeps the child ours (GLib neither reaps it nor puts a helper process
    // between us) so that ProcessWatcher can wait for it.
    gboolean launched = g_desktop_app_info_launch_uris_as_manager(
        G_DESKTOP_APP_INFO(program.appInfo()), uris.get(), nullptr,
        GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), prepareChild, &setup, rememberPid, &pid,
        &error);
    if (!launched) {
        LaunchFailure failure{error ? launchCodeFor(error) : LaunchCode::CouldNotLaunch, 0};
        g_clear_error(&error);
        return failure;
    }
    if (pid <= 0)
        return StartedProcess{};
    return StartedProcess{pid, openPidFd(pid)};
}

} // namespace quarvo::gui
