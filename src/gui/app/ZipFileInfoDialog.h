#pragma once

#include "core/ui/ZipFileInfo.h"

#include <QDialog>

namespace quarvo::gui {

// "ZIP File Info": the archive's name, size, date, counts, sizes and compression, and its comment
// in a read-only box. Only a button to close it.
class ZipFileInfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit ZipFileInfoDialog(const ZipFileInfo& info, QWidget* parent = nullptr);
};

} // namespace quarvo::gui
