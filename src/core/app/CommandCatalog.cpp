#include "core/app/CommandCatalog.h"

#include "core/app/CommandIds.h"

#include <array>

namespace quarvo {

namespace {

using namespace CommandId;

constexpr std::array catalog{
    // Application
    CommandText{NewZip, "&New ZIP...", "Ctrl+N", "Create a new ZIP file and add files to it", "New ZIP file"},
    CommandText{Open, "&Open...", "Ctrl+O", "Open an existing archive or job file", "Open archive"},
    CommandText{Close, "&Close", "", "Close the active archive file", ""},
    CommandText{Save, "&Save", "", "Save the active document", "Save"},
    CommandText{SaveAs, "Save &As...", "", "Save the active document with a new name", ""},
    CommandText{PrintSetup, "P&rint Setup...", "", "Change the printer and printing options", ""},
    CommandText{Print, "&Print...", "", "Print the active archive file listing", "Print file list"},
    CommandText{PrintPreview, "Print Pre&view", "", "Display full pages", ""},
    CommandText{About, "&About Quarvo...", "", "Display program information, version number and copyright",
                ""},
    CommandText{Exit, "E&xit", "F3", "Quit the application; prompts to close archive files", ""},
    CommandText{HelpIndex, "&Index", "F1", "Open the manual", ""},
    CommandText{HelpUsing, "&Using Help", "", "Display instructions about how to use help", ""},
    CommandText{ContextHelp, "&What's This?", "Shift+F1",
                "Display help for clicked on buttons, menus and windows", "Help"},
    CommandText{Help, "&Help", "", "Open the manual", ""},
    CommandText{DefaultHelp, "Help", "", "Open the manual", ""},
    CommandText{NextPane, "Next Pane", "F6", "Switch to the next window pane", ""},
    CommandText{PreviousPane, "Previous Pane", "Shift+F6", "Switch back to the previous window pane", ""},
    CommandText{CloseAll, "Close &All", "", "Close all open archive and job files", ""},
    CommandText{GeneralOptions, "&General Options...", "",
                "Change the default viewer and the log file setting", ""},
    CommandText{UnzipOptions, "&UNZIP Options...", "", "Change the default options for extracting files", ""},
    CommandText{ZipOptions, "&ZIP Options...", "", "Change the default options for compressing files", ""},
    CommandText{UntarOptions, "UN&TAR Options...", "", "Change the default options for extracting TAR files",
                ""},
    CommandText{SearchZipFiles, "&Search ZIP Files...", "Ctrl+S",
                "Search the disks for ZIP files containing a file", "Search ZIP files"},
    CommandText{NewZipConfig, "New &ZIP Config File", "", "Create a new ZIP job file", ""},
    CommandText{NewUnzipConfig, "New &UNZIP Config File", "", "Create a new UNZIP job file", ""},
    CommandText{OpenRemoteZip, "Open &Remote ZIP", "", "", ""},

    // Job documents
    CommandText{ExecuteJob, "&Execute!", "", "Run the job of the active job file", ""},

    // Main window
    CommandText{AlwaysOnTop, "&Always On Top", "", "Keep the main window above all other windows", ""},
    CommandText{SendActiveDocument, "No Active Document", "", "Send the active archive file by mail", ""},
    CommandText{SendAllDocuments, "All Open Documents", "", "Send all open ZIP and TAR files by mail", ""},
    CommandText{WindowCascade, "&Cascade", "", "Arrange windows so they overlap", ""},
    CommandText{WindowTile, "&Tile", "", "Arrange windows as non-overlapping tiles", ""},

    // ZIP archive document
    CommandText{DeleteZipFile, "&Delete ZIP File...", "Ctrl+D", "Delete the active ZIP file from the disk",
                ""},
    CommandText{ShowParent, "Show &Parent", "", "Show the archive file this archive was opened from", ""},
    CommandText{Refresh, "&Refresh", "F5", "Read the active archive file again", ""},
    CommandText{Info, "&Info...", "", "Show information about the active ZIP file", ""},
    CommandText{AddFiles, "&Add Files...", "", "Add files to the active ZIP file", "Add to archive"},
    CommandText{UpdateFiles, "&Update Files..", "", "Update files in the active ZIP file", ""},
    CommandText{FreshenFiles, "&Freshen Files...", "", "Freshen files in the active ZIP file", ""},
    CommandText{MoveFiles, "&Move Files...", "", "Move files into the active ZIP file", ""},
    CommandText{MoveUpdateFiles, "Move/U&pdate Files...", "",
                "Move files into the active ZIP file, updating it", ""},
    CommandText{MoveFreshenFiles, "Move/F&reshen Files...", "",
                "Move files into the active ZIP file, freshening it", ""},
    CommandText{ConvertToZip, "Convert to &ZIP...", "", "Convert a self-extracting program to a ZIP file",
                ""},
    CommandText{ConvertToDosExe, "Convert to &DOS EXE...", "",
                "Convert the ZIP file to a DOS self-extracting program", ""},
    CommandText{ConvertToWindowsExe, "Convert to &Windows EXE...", "",
                "Convert the ZIP file to a Windows self-extracting program", ""},
    CommandText{SelfExtractorConfigurator, "VANTREL &Configurator", "",
                "Configure the self-extracting program", ""},
    CommandText{ConvertToLinuxExtractor, "Convert to &Linux Self-Extractor...", "",
                "Convert the ZIP file to a Linux program that extracts itself", ""},
    // The repair had no menu item of its own, only this prompt; the menu offers it so users can reach it.
    CommandText{FixZipFile, "&Repair ZIP File...", "", "Fix the active ZIP file", ""},

    // ZIP listing
    CommandText{Extract, "&Extract Files...", "", "Update the selected files from the active archive file",
                "Extract from archive"},
    CommandText{ExtractUpdate, "&Update Files..", "",
                "Update the files on the disk with the selected files from the active archive File", ""},
    CommandText{ExtractFreshen, "&Freshen Files...", "",
                "Freshen the files on the disk with the selected files in the active archive file", ""},
    CommandText{TestIntegrity, "&Test ZIP File Integrity", "",
                "Test to see if the file was corrupted during compression", ""},
    CommandText{ExtractNew, "", "",
                "Extract the selected files from the active ZIP file only if they are new", ""},
    CommandText{DeleteEntries, "&Delete...", "", "Delete the selected files from the active archive file",
                ""},
    CommandText{ViewFile, "&View File", "", "View the selected file in its associated application",
                "Show file"},
    CommandText{RunFile, "&Run...", "", "Execute a command against the selected file", "Run file"},
    CommandText{CheckOut, "Check &Out...", "", "Check out all files", "Check out"},
    CommandText{ShowAllDetails, "Show &All Details", "", "Show all file details", "Detailed list"},
    CommandText{ShowNameOnly, "Show &Name only", "", "Show filename only", "Short list"},
    CommandText{ChangeFont, "&Change Font...", "", "Change the font of the active archive file window", ""},
    CommandText{ChangeFilter, "Change &Filter...", "", "Change what is shown in the current view (ie: *.DOC)",
                ""},
    CommandText{SortByName, "by &File Name", "", "Sort files in the active archive file by their file name",
                "Sort by name"},
    CommandText{SortByPath, "by &Path", "", "Sort files in the active archive file by their path",
                "Sort by path"},
    CommandText{SortByExtension, "by &Extension", "",
                "Sort files in the active archive file by their extension", "Sort by extention"},
    CommandText{SortByDate, "by &Date/Time", "",
                "Sort files in the active archive file by their date and time", "Sort by date"},
    CommandText{SortByUncompressedSize, "by &Uncompressed Size", "",
                "Sort files in the active archive file by their uncompressed size",
                "Sort by uncompressed size"},
    CommandText{SortByCompressedSize, "by &Compressed Size", "",
                "Sort files in the active archive file by their compressed size", "Sort by compressed size"},
    CommandText{SortByRatio, "by Compression &Ratio", "",
                "Sort files in the active archive file by their compression ratio",
                "Sort by coimpression ratio"},
    CommandText{SortByOrder, "by Compression &Order", "",
                "Sort files in the active archive file by their compression order", "Unsorted list"},
    CommandText{SelectAll, "Select &All", "", "Select all files in the archive file", ""},
    CommandText{ClearSelection, "&Clear Selection", "", "Clear the selection", ""},
    CommandText{Copy, "", "", "Copy the selected listing and put it on the Clipboard", ""},
};

} // namespace

std::span<const CommandText> commandTexts()
{
    return catalog;
}

const CommandText* findCommandText(int id)
{
    for (const CommandText& text : catalog) {
        if (text.id == id)
            return &text;
    }
    return nullptr;
}

} // namespace quarvo
