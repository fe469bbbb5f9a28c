#pragma once

#include "gui/app/ArchiveWindow.h"

namespace quarvo {
class TarDocument;
} // namespace quarvo

namespace quarvo::gui {

// The window of an open TAR archive, plain or unpacked from a compressed stream: an archive window
// that is read-only, with the TAR form of the extract dialog and the TAR words for the commands it
// shares with the ZIP window.
class TarWindow : public ArchiveWindow {
    Q_OBJECT
public:
    TarWindow(TarDocument& document, AppSettings& settings, QWidget* parent = nullptr);

    std::optional<CommandWords> commandWords(int id) const override;

protected:
    void runExtractCommand(int id) override;
    ListingPrintout printoutHeading() const override;

private:
    TarDocument* tar() const;
};

} // namespace quarvo::gui
