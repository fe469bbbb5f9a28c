#pragma once

#include <QWidget>

namespace quarvo::gui {

// The title-less window with the product name and version that greets the user while the main
// window builds; it closes itself 2,500 ms after it appears.
class StartupBanner : public QWidget {
    Q_OBJECT
public:
    static constexpr int lifetimeMilliseconds = 2500;

    explicit StartupBanner(QWidget* parent = nullptr);

    // Shows and paints the banner at once and starts its timer; it deletes itself when it closes.
    void showNow();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quarvo::gui
