#pragma once

#include <span>
#include <string>
#include <vector>

namespace quarvo {

// Tells which files and directories a check-out created, so that deleting the checked-out files
// later removes exactly those and nothing that was in the directory before.
class CheckOutRecord {
  public:
    // Notes what of the entries' paths already exists below directory: each entry's file and every
    // directory on the way to it. Names that would leave the directory are left out.
    CheckOutRecord(std::string directory, std::span<const std::string> entryNames);

    // The paths that exist now and did not before, in the order deleteCheckedOutFiles takes them
    // without climbing: the files first, then the directories (with a trailing "/"), deepest first.
    std::vector<std::string> created() const;

  private:
    bool exists(const std::string& path) const;

    std::string m_directory;
    std::vector<std::string> m_paths;
    std::vector<bool> m_existedBefore;
};

} // namespace quarvo
