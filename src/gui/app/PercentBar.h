#pragma once

#include <QWidget>

namespace quarvo::gui {

// The progress window's percentage bar: a framed strip whose left percent part is blue with white
// text and whose rest is white with blue text; the centred "N%" changes colour where the fill ends.
class PercentBar : public QWidget {
    Q_OBJECT
public:
    static inline const QColor fillColour{0, 0, 255};
    static inline const QColor emptyColour{255, 255, 255};

    explicit PercentBar(QWidget* parent = nullptr);

    int percent() const { return m_percent; }
    // Values above 100 show as 100 and below 0 as 0.
    void setPercent(int percent);

    // The x coordinate where the fill ends, in widget coordinates.
    int fillEdge() const;
    QRect innerRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_percent = 0;
};

} // namespace quarvo::gui
