#pragma once

#include <string>

namespace quarvo {

// The fields of the General Options dialog, handed in and read back through the port.
struct GeneralOptionsValues {
    std::string viewerName;
    bool logFile = false;
};

} // namespace quarvo
