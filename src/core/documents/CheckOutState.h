#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quarvo {

class UserInterface;

// Whether an archive document was checked out, where to, and what that check-out created; and,
// when the document closes, the question whether to delete the checked-out files.
class CheckOutState {
  public:
    bool isCheckedOut() const { return m_checkedOut; }
    // The check-out directory, kept exactly (disk paths keep their case); empty unless checked out.
    const std::string& directory() const { return m_directory; }

    // Records a check-out to directory without a record of what it created.
    void record(std::string directory);
    // Records a check-out to directory that created exactly createdPaths (CheckOutRecord::created).
    void record(std::string directory, std::vector<std::string> createdPaths);

    // The paths below the check-out directory that a check-out without a record of what it created
    // wrote for the archive's entries; asked only when they are to be deleted.
    using WrittenPaths = std::function<std::vector<std::string>()>;
    // When checked out, asks "PATH has been Checked Out.\n\nDelete checked out files?" and on Yes
    // deletes exactly what the check-out created; without that record, the written paths and the
    // directories that became empty.
    void offerDeletion(UserInterface& ui, const std::string& archivePath, const WrittenPaths& written) const;

  private:
    void deleteFiles(const WrittenPaths& written) const;

    bool m_checkedOut = false;
    std::string m_directory;
    std::optional<std::vector<std::string>> m_created;
};

} // namespace quarvo
