#pragma once

#include "core/ui/UserInterface.h"

namespace quarvo {

// Shows the wait cursor for the lifetime of the object, also when the step leaves early.
class WaitCursor {
public:
    explicit WaitCursor(UserInterface& ui) : m_ui(ui) { m_ui.beginWaitCursor(); }
    ~WaitCursor() { m_ui.endWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    UserInterface& m_ui;
};

} // namespace quarvo
