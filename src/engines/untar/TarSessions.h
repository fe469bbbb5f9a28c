#pragma once

#include "engines/api/UntarCommand.h"
#include "engines/untar/TarReader.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quarvo {

// An archive opened by untar's Open: its path, the directory read last, and where NextEntry is.
struct OpenTarArchive {
    std::string path;
    uint32_t streamType = 0;
    bool kept = false; // the directory was kept (the block's listing word was 1)
    uint64_t entryCount = 0;
    std::vector<TarHeader> entries;
    size_t nextEntry = 0;
    TarEntryRecord delivered; // the record NextEntry handed out last
};

// The archives open in the process, by the handle the block carries. A handle is never reused, so
// a stale one finds nothing.
class TarSessions {
  public:
    static TarSessions& instance();

    int32_t add(std::unique_ptr<OpenTarArchive> archive);
    // The archive of handle, or null. It stays valid until close(handle).
    OpenTarArchive* find(int32_t handle);
    // Forgets the archive; false when the handle was unknown.
    bool close(int32_t handle);

  private:
    std::mutex m_mutex;
    std::map<int32_t, std::unique_ptr<OpenTarArchive>> m_archives;
    int32_t m_nextHandle = 1;
};

} // namespace quarvo
