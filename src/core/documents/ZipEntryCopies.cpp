#include "core/documents/ZipEntryCopies.h"

#include "core/app/CommandIds.h"
#include "core/documents/ChosenDirectory.h"
#include "core/documents/OpenItem.h"
#include "core/documents/ZipDocumentServices.h"
#include "core/engine/ZipEngineSession.h"
#include "core/settings/AppSettings.h"
#include "core/zip/ZipFormat.h"
#include "engines/api/EngineResult.h"

namespace quarvo {

namespace {

constexpr const char* AllEntries = "*.*";

// Overwrite on, stored directories recreated, no path recursion.
UnzipJobOptions copyOptions(const std::string& password)
{
    return UnzipJobOptions{1, 0, 1, password};
}

} // namespace

bool extractZipEntryCopy(ZipDocumentServices& services, const std::string& archivePath, const OpenItem& item)
{
    ZipEngineSession session(services.ui, services.engines, services.settings);
    session.applyUnzipJob(copyOptions(item.password));
    session.setDestination(item.tempDirectory + "/");
    return session.runUnzip(archivePath, item.name, CommandId::Extract) == EngineResult::Ok;
}

uint16_t extractZipEntries(ZipDocumentServices& services, const std::string& archivePath,
                           const std::string& specification, const std::string& directory,
                           const std::string& password)
{
    ZipEngineSession session(services.ui, services.engines, services.settings);
    session.applyUnzipJob(copyOptions(password));
    session.setDestination(withTrailingSlash(directory));
    return session.runUnzip(archivePath, specification, CommandId::Extract);
}

uint16_t extractZipArchive(ZipDocumentServices& services, const std::string& archivePath,
                           const std::string& directory, const std::string& password)
{
    return extractZipEntries(services, archivePath, AllEntries, directory, password);
}

bool putBackZipEntryCopy(ZipDocumentServices& services, const std::string& archivePath, const OpenItem& item)
{
    ZipJobOptions job;
    job.password = item.password;
    // An entry goes back encrypted the way it came.
    job.encryption = item.method == zipformat::method::Aes ? ZipEncryptionChoice::Aes256
                                                           : ZipEncryptionChoice::Traditional;
    job.compMethod = static_cast<int>(item.method);
    job.storePath = 1;
    job.include = item.name.find('"') == std::string::npos ? '"' + item.name + '"' : item.name;
    ZipEngineSession session(services.ui, services.engines, services.settings);
    session.applyZipJob(job);
    return session.runZip(archivePath, item.tempDirectory + "/*.*", CommandId::AddFiles) == EngineResult::Ok;
}

} // namespace quarvo
