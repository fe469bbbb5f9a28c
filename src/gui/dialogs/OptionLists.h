#pragma once

#include <QStringList>

class QComboBox;

namespace quarvo::gui {

// The items of the compression method list; the index is the compression factor.
QStringList compressionMethodNames();
// The items of the add family's command list; the index is the operation's position.
QStringList addOperationNames();
// The items of the encryption list; the index is the stored encryption choice.
QStringList encryptionNames();
// The items of the span list; the index is the span disk type.
QStringList spanDiskNames();

// Selects index in list, or nothing when the index is not one of its items (a stored value out of
// range shows no selection and is kept as it is).
void selectIndex(QComboBox* list, int index);
// The selected index, or previous when nothing is selected.
int selectedIndexOr(const QComboBox* list, int previous);

} // namespace quarvo::gui
