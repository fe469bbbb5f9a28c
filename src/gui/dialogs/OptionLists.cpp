#include "gui/dialogs/OptionLists.h"

#include <QComboBox>

namespace quarvo::gui {

QStringList compressionMethodNames()
{
    return {QStringLiteral("Store ( No Compression )"),
            QStringLiteral("Shrink"),
            QStringLiteral("Reduce Type 1"),
            QStringLiteral("Reduce Type 2"),
            QStringLiteral("Reduce Type 3"),
            QStringLiteral("Reduce Type 4"),
            QStringLiteral("Implode"),
            QStringLiteral("Tokenize"),
            QStringLiteral("Deflate")};
}

QStringList addOperationNames()
{
    return {QStringLiteral("Add Files"),         QStringLiteral("Update Files"),
            QStringLiteral("Freshen Files"),     QStringLiteral("Move Files"),
            QStringLiteral("Move/Update Files"), QStringLiteral("Move/Freshen Files")};
}

QStringList encryptionNames()
{
    return {QStringLiteral("Traditional"), QStringLiteral("AES-256")};
}

QStringList spanDiskNames()
{
    return {QStringLiteral("Don't Span Disks"),   QStringLiteral("Span Disks"),
            QStringLiteral("Format Disks"),       QStringLiteral("Format Low Density"),
            QStringLiteral("Wipe Disks"),         QStringLiteral("Wipe Root Directories"),
            QStringLiteral("Wipe SubDirectories")};
}

void selectIndex(QComboBox* list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

int selectedIndexOr(const QComboBox* list, int previous)
{
    return list->currentIndex() >= 0 ? list->currentIndex() : previous;
}

} // namespace quarvo::gui
