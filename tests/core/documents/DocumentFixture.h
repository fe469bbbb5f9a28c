#pragma once

#include "core/app/CancelFlags.h"
#include "core/documents/OpenItemList.h"
#include "core/documents/SelectionSource.h"
#include "core/documents/ZipDocument.h"
#include "core/framework/DocumentManager.h"
#include "core/framework/View.h"
#include "core/settings/AppSettings.h"
#include "support/FakeEngine.h"
#include "support/ScriptedArchiveDialogs.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quarvo::testing {

// A view that records the hints its document sends.
class RecordingView : public View {
  public:
    void onDocumentUpdate(View*, int hint) override { hints.push_back(hint); }
    std::vector<int> hints;
};

// A listing's selection as a fixed answer.
class FixedSelection : public SelectionSource {
  public:
    FixedSelection(int count, std::string text) : m_count(count), m_text(std::move(text)) {}
    int selectedCount() const override { return m_count < 0 ? 1 : m_count; }
    ItemList buildSelectionList() const override { return {m_count, m_count < 0 ? std::string() : m_text}; }

  private:
    int m_count;
    std::string m_text;
};

// An archive of stored entries with the given names, each holding its own name as data.
inline std::string archiveWith(const std::vector<std::string>& names, const std::string& comment = {})
{
    ZipBuilder builder;
    for (const std::string& name : names)
        builder.add(ZipBuilder::stored(name, name));
    ZipBuilder::End end;
    end.comment = comment;
    return builder.finish(end);
}

// ZIP documents made by a document manager over scripted ports and a fake engine, the way the
// application makes them.
class DocumentTest : public ::testing::Test {
  protected:
    DocumentTest() : settings(directory.file("quarvo.ini"), directory.path().string())
    {
        CancelFlags::zipEngine = false;
        DocumentKind kind;
        kind.extension = ".zip";
        kind.create = [this] { return std::make_unique<ZipDocument>(services()); };
        manager.registerKind(std::move(kind));
        m_workingDirectory = std::filesystem::current_path();
    }
    ~DocumentTest() override { std::filesystem::current_path(m_workingDirectory); }

    ZipDocumentServices services()
    {
        return {ui,
                dialogs,
                settings,
                openItems,
                *engines,
                manager,
                [this](const std::string&) { return removable; },
                entryLaunch};
    }

    // A file in the test's directory holding bytes; returns its path.
    std::string archiveFile(const std::string& name, const std::string& bytes)
    {
        std::string path = directory.file(name);
        writeFile(path, bytes);
        return path;
    }

    ZipDocument* open(const std::string& path)
    {
        return dynamic_cast<ZipDocument*>(manager.openDocument(path));
    }
    ZipDocument* newArchive()
    {
        return dynamic_cast<ZipDocument*>(manager.newDocument(*manager.kinds().front()));
    }
    bool isOpen(const Document* document) const
    {
        for (Document* open : manager.documents()) {
            if (open == document)
                return true;
        }
        return false;
    }

    TemporaryDirectory directory;
    ScriptedUserInterface ui;
    ScriptedArchiveDialogs dialogs;
    AppSettings settings;
    OpenItemList openItems;
    FakeEngine engine;
    // The engines new documents get; a test may point it at the real ones.
    CompressionEngines* engines = &engine;
    bool removable = false;
    // What viewing entries uses; new documents get it when a test sets it.
    EntryLaunchServices* entryLaunch = nullptr;
    // Last, so its documents go before everything they refer to.
    DocumentManager manager;

  private:
    std::filesystem::path m_workingDirectory;
};

} // namespace quarvo::testing
