#pragma once

#include "viewer/ContentSniffer.h"

#include <QByteArrayView>
#include <QString>

namespace quarvo::viewer {

// The text of bytes in encoding, without a leading byte order mark. Bytes that are not valid in the
// encoding become U+FFFD, as does a NUL, which a text widget would not show; line ends become "\n".
// A character cut off by the end of bytes is left out: bytes may be the first part of a file.
QString decodeText(QByteArrayView bytes, TextEncoding encoding);

} // namespace quarvo::viewer
