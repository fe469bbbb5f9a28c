#pragma once

#include <algorithm>
#include <array>

namespace quarvo {

// The command ids of the menus, the tool bar, the accelerators and the status bar. The numbers are
// part of the program's contracts: job files store commands by id, the execute requests send 3050,
// and dialogs return 2114 for "Save". Every command of the program is named here and nowhere else.
namespace CommandId {

// Application
constexpr int NewZip = 57600;
constexpr int Open = 57601;
constexpr int Close = 57602;
constexpr int Save = 57603;
constexpr int SaveAs = 57604;
constexpr int PrintSetup = 57606;
constexpr int Print = 57607;
constexpr int PrintPreview = 57608;
constexpr int RecentFileFirst = 57616;
constexpr int RecentFileLast = 57631;
constexpr int About = 57664;
constexpr int Exit = 57665;
constexpr int HelpIndex = 57666;
constexpr int HelpUsing = 57667;
constexpr int ContextHelp = 57668;
constexpr int Help = 57669;
constexpr int DefaultHelp = 57670;
constexpr int NextPane = 57680;
constexpr int PreviousPane = 57681;
constexpr int CloseAll = 9010;
constexpr int GeneralOptions = 32775;
constexpr int UnzipOptions = 32776;
constexpr int ZipOptions = 32777;
constexpr int UntarOptions = 32797;
constexpr int SearchZipFiles = 32787;
constexpr int NewZipConfig = 32790;
constexpr int NewUnzipConfig = 32791;
constexpr int OpenRemoteZip = 32800;

// Job documents
constexpr int ExecuteJob = 32795;

// Main window
constexpr int AlwaysOnTop = 9088;
constexpr int SendActiveDocument = 23706;
constexpr int SendAllDocuments = 23707;
constexpr int SelectionIndicator = 59142;
constexpr int WindowCascade = 57650;
constexpr int WindowTile = 57651;

// ZIP archive document
constexpr int DeleteZipFile = 32772;
constexpr int ShowParent = 8053;
constexpr int Refresh = 32778;
constexpr int Info = 32779;
constexpr int AddFiles = 2150;
constexpr int UpdateFiles = 2250;
constexpr int FreshenFiles = 2300;
constexpr int MoveFiles = 2400;
constexpr int MoveUpdateFiles = 2450;
constexpr int MoveFreshenFiles = 2500;
constexpr int ConvertToZip = 5052;
constexpr int ConvertToDosExe = 5050;
constexpr int ConvertToWindowsExe = 32780;
constexpr int SelfExtractorConfigurator = 32799;
constexpr int FixZipFile = 5150;
// Our own addition: the archive behind a Linux program that extracts it.
constexpr int ConvertToLinuxExtractor = 5053;

// ZIP listing
constexpr int Extract = 3050;
constexpr int ExtractUpdate = 32782;
constexpr int ExtractFreshen = 3150;
constexpr int TestIntegrity = 3500;
constexpr int ExtractNew = 3100;
constexpr int DeleteEntries = 2600;
constexpr int ViewFile = 8055;
constexpr int RunFile = 8054;
constexpr int CheckOut = 8057;
constexpr int ShowAllDetails = 8050;
constexpr int ShowNameOnly = 8051;
constexpr int ChangeFont = 7052;
constexpr int ChangeFilter = 32773;
constexpr int SortByName = 3610;
constexpr int SortByPath = 3620;
constexpr int SortByExtension = 3630;
constexpr int SortByDate = 3640;
constexpr int SortByCompressedSize = 3650;
constexpr int SortByUncompressedSize = 3660;
constexpr int SortByRatio = 3670;
constexpr int SortByOrder = 3600;
constexpr int SelectAll = 57642;
constexpr int ClearSelection = 57632;
constexpr int Copy = 57634;

// Asked of the command guard before a viewed entry's changed copy goes back into its archive; no menu
// has it.
constexpr int PutBackChangedFile = 4;

// The archive command families: each family shares one dialog and one engine call, the command
// choosing the operation.
constexpr std::array AddFamily{AddFiles, UpdateFiles, FreshenFiles, MoveFiles, MoveUpdateFiles, MoveFreshenFiles};
constexpr std::array ExtractFamily{Extract, ExtractUpdate, ExtractFreshen, ExtractNew, TestIntegrity};

constexpr bool isAddCommand(int id)
{
    return std::find(AddFamily.begin(), AddFamily.end(), id) != AddFamily.end();
}

constexpr bool isExtractCommand(int id)
{
    return std::find(ExtractFamily.begin(), ExtractFamily.end(), id) != ExtractFamily.end();
}

} // namespace CommandId

} // namespace quarvo
