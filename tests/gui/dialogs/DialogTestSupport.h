#pragma once

#include "core/ui/SilentUserInterface.h"

#include <QString>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QWidget;
class QPushButton;

namespace quarvo::testing {

// The user-interface port of the dialog tests: records every message the dialogs show and answers
// from a queue. A message nobody scripted is answered Cancel and counted, so a test can check that
// nothing unexpected was asked.
class AnsweringUserInterface : public SilentUserInterface {
  public:
    void answer(int result) { m_answers.push_back(result); }

    std::vector<std::string> messageTexts() const;
    const std::vector<MessageBoxRequest>& messages() const { return m_messages; }
    int unscriptedMessages() const { return m_unscripted; }
    size_t pendingAnswers() const { return m_answers.size(); }

    int showMessage(const MessageBoxRequest& request) override;
    int askCloseQuestion(const std::string&) override;
    int editGeneralOptions(GeneralOptionsValues&) override;

  private:
    std::deque<int> m_answers;
    std::vector<MessageBoxRequest> m_messages;
    int m_unscripted = 0;
};

// Runs action on the next modal dialog as soon as its event loop runs. Arm it before the click that
// calls exec(), so the test never waits for a user.
void whenModalShows(std::function<void(QWidget*)> action);

// Clicks button with the left mouse button, as a user does.
void click(QPushButton* button);

// The lines of section in the profile file at path, as "key=value", in file order.
QStringList profileSection(const QString& path, const QString& section);

} // namespace quarvo::testing
