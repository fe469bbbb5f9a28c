#include "core/launch/Execute.h"

#include "core/launch/CommandLineSplit.h"
#include "core/launch/ProgramLauncher.h"
#include "core/launch/ProgramResolution.h"
#include "core/launch/WordSplitter.h"
#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"

namespace quarvo {

namespace {

constexpr const char* NotFoundText = "Executable file not found!";
constexpr const char* NoActiveApplicationText = "Quarvo could not find the active application.";

bool wantsViewer(int result)
{
    return launchNotFound(result) || result == LaunchCode::NoAssociation;
}

// The name to hand a program whose working directory is directory: relative when the file lies
// below it, else the full path.
std::string nameFrom(const std::string& directory, const std::string& path)
{
    std::string prefix = directory + "/";
    return path.starts_with(prefix) ? path.substr(prefix.size()) : path;
}

class Launch {
  public:
    Launch(LaunchState& state, const LaunchFile& file, LaunchContext& context)
        : m_state(state), m_file(file), m_context(context)
    {
    }

    LaunchAttempt open()
    {
        LaunchAttempt attempt = m_context.launcher.openByAssociation(m_file.fullPath(), m_file.directory);
        if (!wantsViewer(attempt.result))
            return attempt;
        return runViewer(m_file.name);
    }

    LaunchAttempt run(ProgramSearch search)
    {
        m_search = search;
        CommandLineParts parts = splitCommandLine(m_state.command);
        ResolvedProgram program =
            resolveProgram(parts.program, m_file.directory, m_context.settings.programDirectory(), search);
        switch (program.kind) {
        case ResolvedProgram::Kind::Missing:
            return {program.code, 0};
        case ResolvedProgram::Kind::Program:
            return m_context.launcher.startProgram(program.path, splitWords(parts.arguments),
                                                   m_file.directory);
        case ResolvedProgram::Kind::Document:
            break;
        }
        // What the viewer starts must be a program; a document there is no viewer at all.
        if (search == ProgramSearch::ProgramsOnly)
            return {LaunchCode::FileNotFound, 0};
        // A command that names a document opens it, the way a double click would, instead of
        // starting its program without it.
        LaunchAttempt attempt = m_context.launcher.openByAssociation(program.path, m_file.directory);
        if (!wantsViewer(attempt.result))
            return attempt;
        return runViewer(nameFrom(m_file.directory, program.path));
    }

    // The user corrects the command while its program is not found. The corrected command is looked
    // for where the failed one was: a viewer that was not found is never replaced by a file of the
    // archive of the same name.
    LaunchAttempt retryWhileNotFound(LaunchAttempt attempt)
    {
        while (launchNotFound(attempt.result)) {
            std::string commandLine = m_state.command;
            if (m_context.ui.editCommandLine(NotFoundText, commandLine) != DialogResult::Ok)
                break;
            m_state.command = commandLine;
            attempt = run(m_search);
        }
        return attempt;
    }

  private:
    LaunchAttempt runViewer(const std::string& name)
    {
        m_state.command = buildCommandLine(m_context.settings.viewerName, quoteWord(name));
        return run(ProgramSearch::ProgramsOnly);
    }

    LaunchState& m_state;
    const LaunchFile& m_file;
    LaunchContext& m_context;
    ProgramSearch m_search = ProgramSearch::ItemDirectoryFirst;
};

void showFailure(UserInterface& ui, int code, const std::string& commandLine)
{
    MessageBoxRequest request;
    request.text = launchFailureMessage(code, commandLine);
    request.buttons = MessageButtons::Ok;
    request.icon = MessageIcon::Warning;
    ui.showMessage(request);
}

} // namespace

int execute(LaunchState& state, const LaunchFile& file, LaunchMode mode, LaunchContext& context)
{
    state.clear();
    // An open starts from no command: only the default viewer writes one.
    if (mode == LaunchMode::Open)
        state.command.clear();
    Launch launch(state, file, context);
    LaunchAttempt attempt =
        mode == LaunchMode::Open ? launch.open() : launch.run(ProgramSearch::ItemDirectoryFirst);
    attempt = launch.retryWhileNotFound(attempt);
    state.result = attempt.result;
    if (!launchStarted(attempt.result)) {
        // An association that failed for another reason leaves no command: the file names what failed.
        showFailure(context.ui, attempt.result, state.command.empty() ? file.name : state.command);
        return state.result;
    }
    state.processId = attempt.processId;
    context.launcher.watch(attempt.processId, file.fullPath());
    return state.result;
}

bool activateRunningProgram(const LaunchState& state, LaunchContext& context)
{
    if (state.processId != 0 && context.launcher.activate(state.processId))
        return true;
    MessageBoxRequest request;
    request.text = NoActiveApplicationText;
    context.ui.showMessage(request);
    return false;
}

} // namespace quarvo
