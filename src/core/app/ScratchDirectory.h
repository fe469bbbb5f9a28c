#pragma once

#include "core/base/Result.h"

#include <string>

namespace quarvo {

// The scratch directory "ZIPTEMP.TMP" of one running instance, where viewed entries are put. Each
// instance gets its own directory under the user's run-time directory:
//
//   <runtime>/scratch/instance-XXXXXX/lock         held locked while the instance runs
//   <runtime>/scratch/instance-XXXXXX/ZIPTEMP.TMP  the scratch directory
//
// Unpacked streams, which can be gigabytes, get a directory of the same kind on disk instead of the
// run-time directory's memory: <cache>/quarvo/scratch/instance-XXXXXX/unpacked.
//
// The lock tells a starting instance which directories belong to instances that still run; those
// are never touched, while those of instances that ended without cleaning up are removed.
class ScratchDirectory {
  public:
    // Creates this instance's directory and its empty "ZIPTEMP.TMP" inside runtimeDirectory/scratch,
    // then removes the directories that instances no longer running left behind. Fails when the
    // directories cannot be made.
    static Result<ScratchDirectory> create(const std::string& runtimeDirectory,
                                           const std::string& leafName = "ZIPTEMP.TMP");

    ScratchDirectory(ScratchDirectory&& other) noexcept;
    ScratchDirectory& operator=(ScratchDirectory&& other) noexcept;
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    // Removes what is left, as remove() does.
    ~ScratchDirectory();

    // The full path of "ZIPTEMP.TMP" (or the leaf name given); empty after remove().
    const std::string& path() const { return m_path; }

    // Deletes everything inside the scratch directory, which stays. False when something was left.
    bool empty();
    // Deletes the scratch directory with everything in it and this instance's directory, and gives up
    // the lock. Calling it again does nothing.
    void remove();

  private:
    ScratchDirectory(std::string instanceDirectory, const std::string& leafName, int lockFd);

    std::string m_instanceDirectory;
    std::string m_path;
    int m_lockFd = -1;
};

// Removes the instance directories under runtimeDirectory/scratch whose lock nobody holds, that is,
// those of instances that ended without removing them. Returns how many were removed.
int removeAbandonedScratchDirectories(const std::string& runtimeDirectory);

} // namespace quarvo
