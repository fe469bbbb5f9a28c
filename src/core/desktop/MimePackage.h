#pragma once

#include <string>
#include <string_view>

namespace quarvo {

// The file name of Quarvo's package in $XDG_DATA_HOME/mime/packages.
inline constexpr std::string_view MimePackageFileName = "quarvo.xml";

// The shared-mime-info package that defines Quarvo's own types (the job files): each with its
// comment (the kind's type name), its glob and its icon.
std::string mimePackageText();

} // namespace quarvo
