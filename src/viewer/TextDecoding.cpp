#include "viewer/TextDecoding.h"

#include <QStringDecoder>

#include <array>

namespace quarvo::viewer {

namespace {

// Windows-1252 is Latin-1 but for 0x80..0x9F, where it has printable characters. Qt's own decoders
// know it only when Qt was built with ICU, so the 32 differences are here; the five unassigned bytes
// keep their Latin-1 meaning.
constexpr std::array<char16_t, 32> windows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = value >= 0x80 && value < 0xA0 ? QChar(windows1252High[value - 0x80]) : QChar(value);
    }
    return text;
}

QStringConverter::Encoding qtEncoding(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LittleEndian:
        return QStringConverter::Utf16LE;
    case TextEncoding::Utf16BigEndian:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

} // namespace

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    QString text;
    if (encoding == TextEncoding::Windows1252) {
        text = decodeWindows1252(bytes);
    } else {
        // A decoder that keeps its state holds back a character cut off at the end instead of
        // turning it into U+FFFD; the initial byte order mark is dropped by default.
        QStringDecoder decoder(qtEncoding(encoding));
        text = decoder.decode(bytes);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n')); // old Macintosh line ends
    text.replace(QChar(u'\0'), QChar::ReplacementCharacter);
    return text;
}

} // namespace quarvo::viewer
