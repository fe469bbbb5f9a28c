#pragma once

#include "core/ui/SilentUserInterface.h"

#include <cstdio>

namespace quarvo {

// The port of a run nobody watches (a job started by a timer, a script, "quarvo -e"): every message
// is written to a stream as lines of text instead of waiting for a button, and every question is
// answered so that nothing goes ahead that the user was asked about: a plain message with OK, a
// question with Yes and No (and Cancel) with No, so that a run ends and "Save changes to %1?" writes
// nothing; anything else with Cancel. Dialogs are cancelled as by the silent port.
class UnattendedUserInterface : public SilentUserInterface {
  public:
    explicit UnattendedUserInterface(std::FILE* stream) : m_stream(stream) {}

    int showMessage(const MessageBoxRequest& request) override;

  private:
    std::FILE* m_stream;
};

} // namespace quarvo
