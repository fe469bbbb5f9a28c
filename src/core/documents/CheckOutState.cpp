#include "core/documents/CheckOutState.h"

#include "core/documents/CheckOutRemoval.h"
#include "core/ui/DialogResult.h"
#include "core/ui/MessageBoxRequest.h"
#include "core/ui/UserInterface.h"

namespace quarvo {

void CheckOutState::record(std::string directory)
{
    m_directory = std::move(directory);
    m_created.reset();
    m_checkedOut = true;
}

void CheckOutState::record(std::string directory, std::vector<std::string> createdPaths)
{
    record(std::move(directory));
    m_created = std::move(createdPaths);
}

void CheckOutState::offerDeletion(UserInterface& ui, const std::string& archivePath,
                                  const WrittenPaths& written) const
{
    if (!m_checkedOut)
        return;
    MessageBoxRequest question;
    question.text = archivePath + " has been Checked Out.\n\nDelete checked out files?";
    question.buttons = MessageButtons::YesNo;
    question.icon = MessageIcon::Warning;
    question.defaultButton = DialogResult::No;
    if (ui.showMessage(question) == DialogResult::Yes)
        deleteFiles(written);
}

// A recorded check-out names its directories itself and keeps those that were there before; the
// paths of one without a record take the directories they emptied along.
void CheckOutState::deleteFiles(const WrittenPaths& written) const
{
    if (m_created) {
        deleteCheckedOutFiles(m_directory, *m_created, false);
        return;
    }
    deleteCheckedOutFiles(m_directory, written());
}

} // namespace quarvo
