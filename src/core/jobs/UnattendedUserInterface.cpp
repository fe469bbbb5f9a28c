#include "core/jobs/UnattendedUserInterface.h"

#include "core/ui/DialogResult.h"

#include <string>

namespace quarvo {

namespace {

// A message may quote entry names from an archive: control characters other than line breaks and
// tabs are written as "\xHH", so that no name can move a terminal's cursor or change its colours.
std::string printable(const std::string& text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F) {
            result += "\\x";
            result += Hex[byte >> 4];
            result += Hex[byte & 0x0F];
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace

int UnattendedUserInterface::showMessage(const MessageBoxRequest& request)
{
    std::string text = request.caption.empty() ? request.text : request.caption + ": " + request.text;
    text = printable(text) + "\n";
    std::fwrite(text.data(), 1, text.size(), m_stream);
    std::fflush(m_stream);
    switch (request.buttons) {
    case MessageButtons::Ok:
        return DialogResult::Ok;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return DialogResult::No;
    default:
        return DialogResult::Cancel;
    }
}

} // namespace quarvo
