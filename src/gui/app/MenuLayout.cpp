#include "gui/app/MenuLayout.h"

#include "core/app/CommandIds.h"
#include "core/app/DocumentKindTable.h"

namespace quarvo::gui {

namespace {

using Kind = MenuEntry::Kind;
using namespace CommandId;

MenuEntry command(int id)
{
    return {Kind::Command, id, {}, {}};
}

MenuEntry separator()
{
    return {Kind::Separator, 0, {}, {}};
}

MenuEntry popup(const QString& title, std::vector<MenuEntry> children)
{
    return {Kind::Popup, 0, title, std::move(children)};
}

MenuEntry special(Kind kind)
{
    return {kind, 0, {}, {}};
}

MenuEntry optionsMenu()
{
    return popup(QStringLiteral("&Options"),
                 {command(GeneralOptions), command(ZipOptions), command(UnzipOptions), command(UntarOptions),
                  separator(), command(AlwaysOnTop)});
}

MenuEntry helpMenu()
{
    return popup(QStringLiteral("&Help"), {command(HelpIndex), command(HelpUsing), command(ContextHelp), separator(),
                                           command(About)});
}

MenuEntry windowMenu()
{
    return popup(QStringLiteral("&Window"), {command(WindowCascade), command(WindowTile),
                                             separator(), special(Kind::WindowList)});
}

// The View menu of an archive listing, ZIP or TAR.
MenuEntry listingViewMenu()
{
    return popup(QStringLiteral("&View"),
                 {command(ShowAllDetails), command(ShowNameOnly), separator(),
                  popup(QStringLiteral("&Sort"),
                        {command(SortByName), command(SortByPath), command(SortByExtension), command(SortByDate),
                         command(SortByUncompressedSize), command(SortByCompressedSize), command(SortByRatio),
                         command(SortByOrder)}),
                  separator(), command(ChangeFilter), command(ChangeFont), separator(), command(SelectAll),
                  command(ClearSelection), separator(), command(ViewFile), command(RunFile), command(CheckOut)});
}

MenuEntry extractMenu()
{
    return popup(QStringLiteral("&Extract"), {command(Extract), command(ExtractUpdate), command(ExtractFreshen),
                                              separator(), command(TestIntegrity)});
}

// The main window's own menu. "Open Remote ZIP" is not offered: the program has no remote archives.
std::vector<MenuEntry> mainMenu()
{
    return {
        popup(QStringLiteral("&File"),
              {command(NewZip), command(Open), separator(), command(NewZipConfig), command(NewUnzipConfig),
               separator(), command(SearchZipFiles), separator(), command(PrintSetup), separator(),
               special(Kind::RecentFiles), separator(), command(Exit)}),
        optionsMenu(),
        helpMenu(),
    };
}

// The ZIP archive window's menu. The self-extractor configurator is not offered: the program ships
// no configurator to run. Two items are our own: the Linux self-extractor, and Repair, which
// otherwise only a status prompt would name, so users could not reach it.
std::vector<MenuEntry> zipMenu()
{
    return {
        popup(QStringLiteral("&File"),
              {command(NewZip), command(Open), command(Close), command(CloseAll), separator(), command(DeleteZipFile),
               command(Info), command(Refresh), command(ShowParent), separator(), command(SearchZipFiles), separator(),
               command(Print), command(PrintPreview), command(PrintSetup), separator(), special(Kind::RecentFiles),
               separator(), special(Kind::SendMail), command(Exit)}),
        popup(QStringLiteral("&ZIP"),
              {command(AddFiles), command(UpdateFiles), command(FreshenFiles), separator(), command(MoveFiles),
               command(MoveUpdateFiles), command(MoveFreshenFiles), separator(), command(DeleteEntries), separator(),
               command(ConvertToZip), command(ConvertToDosExe), command(ConvertToWindowsExe),
               command(ConvertToLinuxExtractor), separator(), command(FixZipFile)}),
        extractMenu(),
        listingViewMenu(),
        optionsMenu(),
        windowMenu(),
        helpMenu(),
    };
}

// The TAR archive window's menu, the same for every TAR kind: read-only, so no ZIP menu.
std::vector<MenuEntry> tarMenu()
{
    return {
        popup(QStringLiteral("&File"),
              {command(NewZip), command(Open), command(Close), command(CloseAll), separator(), command(DeleteZipFile),
               command(Info), command(Refresh), command(ShowParent), separator(), command(SearchZipFiles), separator(),
               command(Print), command(PrintPreview), command(PrintSetup), separator(), special(Kind::RecentFiles),
               separator(), command(Exit)}),
        extractMenu(),
        listingViewMenu(),
        optionsMenu(),
        windowMenu(),
        helpMenu(),
    };
}

std::vector<MenuEntry> plainDocumentMenu()
{
    return {
        popup(QStringLiteral("&File"),
              {command(NewZip), command(Open), command(Close), command(CloseAll), separator(), command(SearchZipFiles),
               separator(), command(PrintSetup), separator(), special(Kind::RecentFiles), separator(),
               command(Exit)}),
        optionsMenu(),
        windowMenu(),
        helpMenu(),
    };
}

// A job window's menu: its own words for Close, Save and Save As, and "&Execute!" on the menu bar
// itself.
std::vector<MenuEntry> jobMenu()
{
    return {
        popup(QStringLiteral("&File"),
              {command(NewZip), command(Open), separator(), command(NewZipConfig), command(NewUnzipConfig),
               separator(), command(SearchZipFiles), separator(), command(Close), command(Save), command(SaveAs),
               separator(), special(Kind::RecentFiles), separator(), command(Exit)}),
        command(ExecuteJob),
        optionsMenu(),
        windowMenu(),
        helpMenu(),
    };
}

void collectIds(const std::vector<MenuEntry>& entries, std::vector<int>& ids)
{
    for (const MenuEntry& entry : entries) {
        if (entry.kind == Kind::Command)
            ids.push_back(entry.id);
        collectIds(entry.children, ids);
    }
}

} // namespace

std::vector<MenuEntry> menuLayout(int resourceId)
{
    switch (resourceId) {
    case DocumentKindId::Main:
        return mainMenu();
    case DocumentKindId::Zip:
        return zipMenu();
    case DocumentKindId::ZipJob:
    case DocumentKindId::UnzipJob:
        return jobMenu();
    case DocumentKindId::Tar:
    case DocumentKindId::Tgz:
    case DocumentKindId::Taz:
    case DocumentKindId::Gz:
    case DocumentKindId::Z:
        return tarMenu();
    default:
        return plainDocumentMenu();
    }
}

std::vector<int> commandIdsIn(const std::vector<MenuEntry>& layout)
{
    std::vector<int> ids;
    collectIds(layout, ids);
    return ids;
}

} // namespace quarvo::gui
