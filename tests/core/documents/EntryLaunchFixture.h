#pragma once

#include "DocumentFixture.h"

#include "core/documents/ApplicationWindows.h"
#include "core/documents/EntryLaunchServices.h"
#include "core/documents/OpenEntryCommand.h"
#include "core/documents/OpenItemStages.h"
#include "core/engine/LinkedEngines.h"
#include "core/engine/ZipEngineSession.h"
#include "core/ui/SilentUserInterface.h"
#include "support/FakeLauncher.h"
#include "support/ProcessRunner.h"

#include <filesystem>
#include <map>
#include <optional>

namespace quarvo::testing {

// The windows of the application as the entry commands see them: documents open through the
// manager, everything else is recorded.
class RecordingWindows : public ApplicationWindows {
  public:
    explicit RecordingWindows(DocumentManager& manager) : m_manager(manager) {}

    Document* openDocumentWithWindow(const std::string& path) override
    {
        opened.push_back(path);
        return refuseToOpen ? nullptr : m_manager.openDocument(path);
    }
    void closeDocument(Document& document) override
    {
        closed.push_back(document.path());
        m_manager.closeDocument(&document);
    }
    bool bringViewForward(View& view) override
    {
        broughtForward.push_back(&view);
        return true;
    }
    void raiseMainWindow() override { ++raised; }
    void leaveAlwaysOnTop() override { ++leftAlwaysOnTop; }

    std::vector<std::string> opened;
    std::vector<std::string> closed;
    std::vector<View*> broughtForward;
    int raised = 0;
    int leftAlwaysOnTop = 0;
    bool refuseToOpen = false;

  private:
    DocumentManager& m_manager;
};

// The real engines, with a way to make the compression engine fail without touching anything.
class SwitchableEngines : public CompressionEngines {
  public:
    uint16_t runDzip(ZipCommand& command) override
    {
        return zipFailure ? *zipFailure : m_real.runDzip(command);
    }
    uint16_t runDunzip(UnzipCommand& command) override { return m_real.runDunzip(command); }

    std::optional<uint16_t> zipFailure;

  private:
    LinkedEngines m_real;
};

// ZIP documents whose entries are viewed, run and checked out over the real engines, with a
// recording launcher and recording windows, a scratch directory and a place for kept copies inside
// the test's directory.
class EntryLaunchTest : public DocumentTest {
  protected:
    EntryLaunchTest()
    {
        engines = &realEngines;
        entryLaunch = &launchServices;
        std::filesystem::create_directories(launchServices.scratchDirectory);
        installOpenItemHandlers(openItems, launchServices, manager);
        // Every file has a program unless a test says otherwise.
        launcher.associationResult = [](const std::string&) { return LaunchCode::Started; };
    }

    // An archive of stored entries, each holding the given text.
    ZipDocument* openArchive(const std::string& name, const std::map<std::string, std::string>& entries)
    {
        ZipBuilder builder;
        for (const auto& [entryName, data] : entries)
            builder.add(ZipBuilder::stored(entryName, data));
        ZipDocument* document = open(archiveFile(name, builder.finish()));
        if (document)
            document->attachView(&listing);
        return document;
    }

    // An archive the real compression engine makes from files holding the given texts: deflated at
    // level (0 stores), encrypted with password when one is given.
    ZipDocument* openEngineArchive(const std::string& name, const std::map<std::string, std::string>& files,
                                   int level, const std::string& password = {})
    {
        const std::string source = directory.file("source-" + name);
        for (const auto& [file, data] : files)
            writeFile(source + "/" + file, data);
        SilentUserInterface silent;
        ZipEngineSession session(silent, realEngines, settings);
        ZipJobOptions job;
        job.password = password;
        job.compMethod = level;
        job.storePath = 1;
        job.recurseSubdirs = 1;
        session.applyZipJob(job);
        if (session.runZip(directory.file(name), source + "/*.*", 2150) != 0)
            return nullptr;
        ZipDocument* document = open(directory.file(name));
        if (document)
            document->attachView(&listing);
        return document;
    }

    static ZipEntry* entryNamed(ZipDocument& document, const std::string& name)
    {
        for (const auto& entry : document.entries()) {
            if (entry->name == name)
                return entry.get();
        }
        return nullptr;
    }

    void view(ZipDocument& document, const std::string& name)
    {
        openEntry(document, &listing, entryNamed(document, name), false);
    }

    // The private directories the items have in the scratch directory.
    std::vector<std::string> itemDirectories() const
    {
        std::vector<std::string> names;
        for (const auto& item : std::filesystem::directory_iterator(launchServices.scratchDirectory))
            names.push_back(item.path().filename().string());
        return names;
    }

    // What Info-ZIP's unzip reads from an entry of the archive.
    std::string unzipped(const std::string& archive, const std::string& name,
                         const std::string& password = {})
    {
        std::vector<std::string> arguments{"-p"};
        if (!password.empty())
            arguments.insert(arguments.end(), {"-P", password});
        arguments.insert(arguments.end(), {archive, name});
        return runProcess("unzip", arguments, directory.path()).out;
    }

    // The process the launcher started last, and the file it was given.
    int64_t lastProcess() const { return launcher.watched().empty() ? 0 : launcher.watched().back().first; }
    std::string lastFile() const
    {
        return launcher.watched().empty() ? std::string() : launcher.watched().back().second;
    }

    SwitchableEngines realEngines;
    FakeLauncher launcher;
    RecordingWindows windows{manager};
    EntryLaunchServices launchServices{launcher, windows, directory.file("scratch"), directory.file("kept")};
    RecordingView listing;
};

} // namespace quarvo::testing
