#include "core/launch/Execute.h"

#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"
#include "support/FakeLauncher.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quarvo {
namespace {

using testing::FakeLauncher;
using testing::ScopedEnvironment;
using testing::ScriptedUserInterface;
using testing::TemporaryDirectory;
using testing::writeFile;
using Kind = FakeLauncher::Kind;
using Words = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr const char* NotFound = "Executable file not found!";

// An item directory holding the entry copies, a program directory holding the default viewer
// "viewer", and a PATH directory holding "tool".
class ExecuteTest : public ::testing::Test {
  protected:
    ExecuteTest() : settings(root.file("quarvo.ini"), root.file("program"))
    {
        fs::create_directories(root.path() / "item");
        makeProgram(root.file("program/viewer"));
        makeProgram(root.file("bin/tool"));
        settings.viewerName = "viewer";
    }

    static void makeProgram(const std::string& path)
    {
        writeFile(path, "#!/bin/sh\n");
        fs::permissions(path, fs::perms::owner_all);
    }

    std::string item(const std::string& name) const { return root.file("item/" + name); }
    int launch(LaunchMode mode, const std::string& name)
    {
        return execute(state, LaunchFile{root.file("item"), name}, mode, context);
    }
    int run(const std::string& command, const std::string& name = "a.txt")
    {
        state.command = command;
        return launch(LaunchMode::Run, name);
    }

    TemporaryDirectory root;
    ScopedEnvironment path{"PATH", root.file("bin")};
    AppSettings settings;
    ScriptedUserInterface ui;
    FakeLauncher launcher;
    LaunchContext context{ui, launcher, settings};
    LaunchState state;
};

TEST_F(ExecuteTest, OpenHandsTheFileToItsAssociatedProgramAndWatchesIt)
{
    writeFile(item("a.txt"), "text");
    launcher.associationResult = [](const std::string&) { return LaunchCode::Started; };
    EXPECT_EQ(launch(LaunchMode::Open, "a.txt"), LaunchCode::Started);
    ASSERT_EQ(launcher.launches().size(), 1u);
    EXPECT_EQ(launcher.launches()[0].kind, Kind::Association);
    EXPECT_EQ(launcher.launches()[0].path, item("a.txt"));
    EXPECT_EQ(launcher.launches()[0].directory, root.file("item"));
    EXPECT_EQ(state.processId, 100);
    EXPECT_EQ(launcher.watched(), (std::vector<std::pair<int64_t, std::string>>{{100, item("a.txt")}}));
    EXPECT_TRUE(state.command.empty());
}

TEST_F(ExecuteTest, WithoutAnAssociationTheDefaultViewerGetsTheRelativeNameAsItIs)
{
    // No association, no file, no path: each falls back to the viewer. A name without an extension
    // reaches the viewer unchanged (a dot would name another file here), and blanks and quotes in a
    // name reach it as one argument.
    struct Case {
        int associationResult;
        std::string name;
        std::string command;
    };
    const Case cases[] = {
        {LaunchCode::NoAssociation, "README", "viewer README"},
        {LaunchCode::FileNotFound, "sub/a.txt", "viewer sub/a.txt"},
        {LaunchCode::PathNotFound, "my \"best\" notes.txt", "\"viewer\" 'my \"best\" notes.txt'"},
    };
    for (const Case& test : cases) {
        FakeLauncher fresh;
        fresh.associationResult = [&test](const std::string&) { return test.associationResult; };
        LaunchContext own{ui, fresh, settings};
        writeFile(item(test.name), "text");
        EXPECT_EQ(execute(state, LaunchFile{root.file("item"), test.name}, LaunchMode::Open, own),
                  LaunchCode::Started);
        ASSERT_EQ(fresh.launches().size(), 2u) << test.name;
        const FakeLauncher::Launch& viewer = fresh.launches()[1];
        EXPECT_EQ(viewer.kind, Kind::Program);
        EXPECT_EQ(viewer.path, root.file("program/viewer"));
        EXPECT_EQ(viewer.arguments, Words{test.name});
        EXPECT_EQ(viewer.directory, root.file("item"));
        EXPECT_EQ(state.command, test.command);
        // The watched file is the copy, whichever program got it.
        EXPECT_EQ(fresh.watched().back().second, item(test.name));
    }
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ExecuteTest, ViewNeverStartsTheFileItselfEvenWhenItIsExecutable)
{
    // An executable entry copy, and one that carries the viewer's name: neither is ever started by
    // a view, whether an association exists or the viewer is looked for.
    makeProgram(item("setup.sh"));
    makeProgram(item("viewer"));
    EXPECT_EQ(launch(LaunchMode::Open, "setup.sh"), LaunchCode::Started);
    EXPECT_FALSE(launcher.started(item("setup.sh")));
    EXPECT_FALSE(launcher.started(item("viewer")));
    EXPECT_EQ(launcher.launches()[0].kind, Kind::Association);
    EXPECT_EQ(launcher.launches()[1].path, root.file("program/viewer"));
    EXPECT_EQ(launcher.launches()[1].arguments, Words{"setup.sh"});

    // With the real viewer gone, the one among the copies is still not taken: the user is asked.
    fs::remove(root.file("program/viewer"));
    ui.answerCommandLine(DialogResult::Cancel);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(launch(LaunchMode::Open, "setup.sh"), LaunchCode::FileNotFound);
    EXPECT_FALSE(launcher.started(item("viewer")));
    EXPECT_FALSE(launcher.started(item("setup.sh")));
}

TEST_F(ExecuteTest, RunStartsTheProgramWithItsWordsAndNoShell)
{
    struct Case {
        std::string command;
        std::string program;
        Words arguments;
    };
    const Case cases[] = {
        {"tool", root.file("bin/tool"), {}},
        {"tool -i 's/a b/c/' a.txt", root.file("bin/tool"), {"-i", "s/a b/c/", "a.txt"}},
        {"tool a;rm\\ -rf $HOME *", root.file("bin/tool"), {"a;rm -rf", "$HOME", "*"}},
        {"\"" + root.file("bin/tool") + "\" \"two words\"", root.file("bin/tool"), {"two words"}},
        // A bare name is looked for among the copies first; a path is taken relative to them.
        {"local.sh x", item("local.sh"), {"x"}},
        {"./local.sh", item("./local.sh"), {}},
    };
    makeProgram(item("local.sh"));
    for (const Case& test : cases) {
        EXPECT_EQ(run(test.command), LaunchCode::Started) << test.command;
        const FakeLauncher::Launch& started = launcher.launches().back();
        EXPECT_EQ(started.kind, Kind::Program) << test.command;
        EXPECT_EQ(started.path, test.program) << test.command;
        EXPECT_EQ(started.arguments, test.arguments) << test.command;
        EXPECT_EQ(started.directory, root.file("item")) << test.command;
    }
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ExecuteTest, RunOfADocumentOpensItWithItsProgramOrTheViewer)
{
    writeFile(item("notes.txt"), "not a program");
    launcher.associationResult = [](const std::string&) { return LaunchCode::Started; };
    EXPECT_EQ(run("notes.txt"), LaunchCode::Started);
    ASSERT_EQ(launcher.launches().size(), 1u);
    EXPECT_EQ(launcher.launches()[0].kind, Kind::Association);
    EXPECT_EQ(launcher.launches()[0].path, item("notes.txt"));

    // Without an association the viewer gets it.
    launcher.associationResult = [](const std::string&) { return LaunchCode::NoAssociation; };
    EXPECT_EQ(run("notes.txt"), LaunchCode::Started);
    EXPECT_EQ(launcher.launches().back().path, root.file("program/viewer"));
    EXPECT_EQ(launcher.launches().back().arguments, Words{"notes.txt"});
    EXPECT_EQ(state.command, "viewer notes.txt");
}

TEST_F(ExecuteTest, AProgramNotFoundIsCorrectedInTheRunFileDialogUntilCancel)
{
    struct Case {
        std::string command;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {"missing a.txt", LaunchCode::FileNotFound, "File was not found."},
        {"nodir/tool a.txt", LaunchCode::PathNotFound, "Path was not found."},
    };
    for (const Case& test : cases) {
        ScriptedUserInterface own;
        LaunchContext context{own, launcher, settings};
        // The first correction is still wrong, the second is given up.
        own.answerCommandLine(DialogResult::Ok, "still-missing a.txt");
        own.answerCommandLine(DialogResult::Cancel, "ignored");
        own.answerMessage(DialogResult::Ok);
        state.command = test.command;
        EXPECT_EQ(execute(state, LaunchFile{root.file("item"), "a.txt"}, LaunchMode::Run, context),
                  LaunchCode::FileNotFound);
        using Prompt = ScriptedUserInterface::CommandLinePrompt;
        EXPECT_EQ(own.commandLinesShown(),
                  (std::vector<Prompt>{{NotFound, test.command}, {NotFound, "still-missing a.txt"}}));
        ASSERT_EQ(own.messages().size(), 1u);
        EXPECT_EQ(own.messages()[0].text, "Execute failed.  File was not found.\n\nstill-missing a.txt");
        EXPECT_EQ(own.messages()[0].icon, MessageIcon::Warning);
        EXPECT_EQ(own.messages()[0].buttons, MessageButtons::Ok);
    }
    // A correction that names a program starts it.
    ui.answerCommandLine(DialogResult::Ok, "tool fixed");
    EXPECT_EQ(run("missing"), LaunchCode::Started);
    EXPECT_EQ(launcher.launches().back().arguments, Words{"fixed"});
    EXPECT_EQ(state.command, "tool fixed");
    EXPECT_EQ(state.processId, launcher.launches().back().processId);
}

TEST_F(ExecuteTest, FailuresShowTheCodesTextWithTheWholeCommand)
{
    // A long command line is kept whole, in the dialog and in the message.
    const std::string longArgument(300, 'x');
    launcher.startResult = [](const std::string&) { return 7; };
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(run("tool " + longArgument), 7);
    EXPECT_EQ(launcher.launches().back().arguments, Words{longArgument});
    EXPECT_EQ(ui.messageTexts(),
              std::vector<std::string>{"Unknown error. Error ID = 7.\n\ntool " + longArgument});
    EXPECT_EQ(state.processId, 0);
    EXPECT_TRUE(launcher.watched().empty());

    // An association that fails for another reason than a missing one names the file.
    writeFile(item("a.txt"), "text");
    launcher.associationResult = [](const std::string&) { return LaunchCode::CouldNotLaunch; };
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(launch(LaunchMode::Open, "a.txt"), LaunchCode::CouldNotLaunch);
    EXPECT_EQ(ui.messageTexts().back(), "Execute failed.  Could not launch the selected file.\n\na.txt");
}

TEST_F(ExecuteTest, ActivatingARunningProgramSaysSoWhenItHasNoWindow)
{
    state.processId = 42;
    EXPECT_TRUE(activateRunningProgram(state, context));
    EXPECT_TRUE(ui.messages().empty());

    launcher.activateAnswer = false;
    ui.answerMessage(DialogResult::Ok);
    EXPECT_FALSE(activateRunningProgram(state, context));
    EXPECT_EQ(launcher.activated(), (std::vector<int64_t>{42, 42}));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Quarvo could not find the active application."});
}

} // namespace
} // namespace quarvo
