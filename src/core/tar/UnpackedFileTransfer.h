#pragma once

#include <string>

namespace quarvo {

class UserInterface;

// Moves an unpacked file out of the program's own directory to where the user chose to keep it.
// On the same file system it is renamed. Otherwise it is copied, with the progress window showing
// waitText and its Cancel working, into a temporary file beside the destination, which replaces the
// destination only once it is whole; then the source is deleted. The destination is never deleted
// first, so a failed save leaves the file the user had there.
//
// Every failure is reported: "Error: Could not save to DESTINATION.", with the free-space sentence
// when the disk is full. Returns false when the file was not saved (also when the user cancelled
// the copy, which is not reported); the source is then where it was.
bool transferUnpackedFile(UserInterface& ui, const std::string& source, const std::string& destination,
                          const std::string& waitText);

} // namespace quarvo
