#pragma once

#include <QByteArrayView>

#include <span>

namespace quarvo::viewer {

// Qt's bytes as the span that the widget-free parts of the viewer (ContentSniffer, HexFormat) take.
inline std::span<const unsigned char> byteSpan(QByteArrayView bytes)
{
    return {reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<size_t>(bytes.size())};
}

} // namespace quarvo::viewer
