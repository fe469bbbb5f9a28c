#pragma once

#include <cstdint>
#include <string>

namespace quarvo {

// What the launcher keeps for one item: the outcome of its last launch and the command line that
// ran (or was tried).
struct LaunchState {
    // Of the last launch: above LaunchCode::LastError when started, otherwise a launch code.
    int result = 0;
    // The started process, while it is watched; 0 when there is none.
    int64_t processId = 0;
    // The whole command line of a run launch (program, blank, arguments). A run sets it before the
    // launch; the default viewer and the "Run File" dialog write theirs here.
    std::string command;

    // Forgets the launch (not the command): the item advanced or closed.
    void clear()
    {
        result = 0;
        processId = 0;
    }
};

} // namespace quarvo
