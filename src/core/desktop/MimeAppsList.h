#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quarvo {

// Edits of the user's mimeapps.list, made on its text. Every line the edit has no business with
// stays exactly as it was, comments and other sections included.

// Adds desktopId to the "Added Associations" list of every type, and makes it the default in
// "Default Applications" only for a type that has no default there yet: a default the user chose is
// never replaced, and a type from which the user removed desktopId ("Removed Associations") is left
// alone. Missing sections are appended.
std::string addAssociations(std::string_view text, std::span<const std::string_view> mimeTypes,
                            std::string_view desktopId);

// Takes desktopId out of both sections' lists; a line whose list it leaves empty goes.
std::string removeAssociations(std::string_view text, std::string_view desktopId);

} // namespace quarvo
