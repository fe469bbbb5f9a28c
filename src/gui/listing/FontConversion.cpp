#include "gui/listing/FontConversion.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace quarvo::gui {

namespace {

namespace PitchAndFamily {
constexpr uint8_t PitchMask = 0x03;
constexpr uint8_t FixedPitch = 0x01;
constexpr uint8_t VariablePitch = 0x02;
constexpr uint8_t FamilyMask = 0xF0;
constexpr uint8_t Roman = 0x10;
constexpr uint8_t Swiss = 0x20;
constexpr uint8_t Modern = 0x30;
constexpr uint8_t Script = 0x40;
constexpr uint8_t Decorative = 0x50;
} // namespace PitchAndFamily

QFont::StyleHint styleHintOf(uint8_t pitchAndFamily)
{
    switch (pitchAndFamily & PitchAndFamily::FamilyMask) {
    case PitchAndFamily::Roman:
        return QFont::Serif;
    case PitchAndFamily::Swiss:
        return QFont::SansSerif;
    case PitchAndFamily::Modern:
        return QFont::Monospace;
    case PitchAndFamily::Script:
        return QFont::Cursive;
    case PitchAndFamily::Decorative:
        return QFont::Decorative;
    default:
        return QFont::AnyStyle;
    }
}

// Faces of the system the stored descriptions come from, with the kind each is. A stored description
// names one of these (the default names "MS Sans Serif", with family bits that say roman) and
// the face is rarely installed here: its kind, not its family bits, decides what replaces it.
struct KnownFace {
    const char* name;
    QFont::StyleHint hint;
};
constexpr KnownFace knownFaces[] = {
    {"MS Sans Serif", QFont::SansSerif},  {"Microsoft Sans Serif", QFont::SansSerif},
    {"MS Shell Dlg", QFont::SansSerif},   {"MS Shell Dlg 2", QFont::SansSerif},
    {"Arial", QFont::SansSerif},          {"Tahoma", QFont::SansSerif},
    {"Verdana", QFont::SansSerif},        {"Segoe UI", QFont::SansSerif},
    {"Small Fonts", QFont::SansSerif},    {"System", QFont::SansSerif},
    {"MS Serif", QFont::Serif},           {"Times New Roman", QFont::Serif},
    {"Courier", QFont::Monospace},        {"Courier New", QFont::Monospace},
    {"Fixedsys", QFont::Monospace},       {"Terminal", QFont::Monospace},
    {"Lucida Console", QFont::Monospace}, {"Consolas", QFont::Monospace},
};

QFont::StyleHint styleHintOf(const QString& face, uint8_t pitchAndFamily)
{
    for (const KnownFace& known : knownFaces) {
        if (face.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0)
            return known.hint;
    }
    return styleHintOf(pitchAndFamily);
}

// The face itself when it is installed; otherwise the system's own family of the same kind, by
// name, so the listing and the font dialog show one and the same family.
QString installedFamily(const QString& face, QFont::StyleHint hint)
{
    if (QFontDatabase::hasFamily(face))
        return face;
    QFont generic;
    generic.setStyleHint(hint);
    return generic.defaultFamily();
}

// A cell height includes the face's internal leading, which a pixel size does not: scale it by the
// share of the cell a character takes in this face.
int characterHeightForCell(QFont font, int cellHeight)
{
    font.setPixelSize(cellHeight);
    int cellAtThatSize = std::max(1, QFontMetrics(font).height());
    return std::max(1, int(std::lround(double(cellHeight) * cellHeight / cellAtThatSize)));
}

} // namespace

QFont fontFromDescription(const FontDescription& description)
{
    const QString face = QString::fromStdString(description.faceName);
    const QFont::StyleHint hint = styleHintOf(face, description.pitchAndFamily);
    QFont font(installedFamily(face, hint));
    font.setStyleHint(hint);
    font.setFixedPitch((description.pitchAndFamily & PitchAndFamily::PitchMask) == PitchAndFamily::FixedPitch);
    if (description.height < 0)
        font.setPixelSize(std::max(1, -description.height));
    else if (description.height > 0)
        font.setPixelSize(characterHeightForCell(font, description.height));
    // Weight 0 means "any": the normal weight.
    if (description.weight > 0)
        font.setWeight(QFont::Weight(std::clamp(description.weight, 1, 1000)));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strikeOut != 0);
    return font;
}

FontDescription descriptionFromFont(const QFont& font, const FontDescription& previous, int verticalDpi)
{
    FontDescription description = previous;
    int pixels = font.pixelSize() > 0 ? font.pixelSize() : int(std::lround(font.pointSizeF() * verticalDpi / 72.0));
    description.height = -std::max(1, pixels);
    description.weight = font.weight();
    description.italic = font.italic() ? 1 : 0;
    description.underline = font.underline() ? 1 : 0;
    description.strikeOut = font.strikeOut() ? 1 : 0;
    description.faceName = storableFaceName(font.family().toStdString());
    uint8_t pitch = QFontInfo(font).fixedPitch() ? PitchAndFamily::FixedPitch : PitchAndFamily::VariablePitch;
    description.pitchAndFamily = uint8_t((previous.pitchAndFamily & ~PitchAndFamily::PitchMask) | pitch);
    return description;
}

} // namespace quarvo::gui
