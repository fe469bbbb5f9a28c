#pragma once

#include <string>

namespace quarvo {

class Document;
class UserInterface;

// Save, Save As and the save question of the documents that are files of the user's own (job
// files; Document::isSavable). A document saved under a new path takes that path and title and tells
// its views (UpdateHint::TitleChanged); a saved document is no longer modified.

namespace SaveTexts {
constexpr const char* Question = "Save changes to %1?";
constexpr const char* Failed = "Failed to save document.";
constexpr const char* SaveAsTitle = "Save As";
constexpr const char* UntitledName = "Untitled";
} // namespace SaveTexts

// Save: writes the document to its path, or goes to Save As when it has none yet. True when it was
// written; false when the user cancelled or the write failed, which the user was told about
// ("Failed to save document." and why).
bool saveDocument(Document& document, UserInterface& ui);

// Save As: asks for a path in the save dialog, starting from the document's own path (or its title
// for one never saved), then writes there. True when it was written.
bool saveDocumentAs(Document& document, UserInterface& ui);

// The question before a modified savable document closes: "Save changes to %1?" with %1 its path
// (its title when it has none), answered Yes, No or Cancel. Yes saves first. True when the document
// may close: it was not modified, or is no savable document, or the user said No, or it was saved.
// False keeps it open: Cancel, or the save was cancelled or failed.
bool saveModifiedDocument(Document& document, UserInterface& ui);

// "Save changes to %1?" for a name.
std::string saveQuestionFor(const std::string& name);

} // namespace quarvo
