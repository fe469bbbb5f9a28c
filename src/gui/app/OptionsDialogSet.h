#pragma once

#include <QPointer>

#include <functional>

class QWidget;

namespace quarvo {
class AppSettings;
}

namespace quarvo::gui {

class UnzipOptionsDialog;
class UntarOptionsDialog;
class ZipOptionsDialog;

// The one ZIP, UNZIP and UNTAR Options dialog of the run. The Options menu and the "Options..."
// buttons of the compress and extract dialogs open the same objects, so what one accepts is what
// every later operation uses. Each is made on first use as a child of the main window, which
// deletes it; until the parent is set nothing is made.
class OptionsDialogSet {
public:
    OptionsDialogSet(AppSettings& settings, std::function<void()> showHelp);

    void setParentWindow(QWidget* parent) { m_parent = parent; }

    // Null before the parent window is set.
    ZipOptionsDialog* zip();
    UnzipOptionsDialog* unzip();
    UntarOptionsDialog* untar();

private:
    template <typename Dialog>
    Dialog* dialog(QPointer<Dialog>& slot);

    AppSettings& m_settings;
    std::function<void()> m_showHelp;
    QPointer<QWidget> m_parent;
    QPointer<ZipOptionsDialog> m_zip;
    QPointer<UnzipOptionsDialog> m_unzip;
    QPointer<UntarOptionsDialog> m_untar;
};

} // namespace quarvo::gui
