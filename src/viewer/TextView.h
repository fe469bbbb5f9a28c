#pragma once

#include <QPlainTextEdit>

namespace quarvo::viewer {

// Decoded text, read-only, in the fixed-pitch font, lines wrapped at the window's edge.
class TextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextView(const QString& text, QWidget* parent = nullptr);
};

} // namespace quarvo::viewer
