#pragma once

#include "core/ui/GeneralOptionsValues.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quarvo::gui {

// "Quarvo Options": the default viewer's name with "Browse...", "Enable Log File", and the buttons
// "Save" (the default), "Cancel" and "Help". Save accepts only a viewer that can be found (or an
// empty name, meaning no default viewer); otherwise it shows why and keeps the dialog open with the
// name selected. exec() returns DialogResult::Save or Cancel.
class GeneralOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Why a viewer name cannot be used, or nothing when it can (the settings' viewer rule).
    using ViewerCheck = std::function<std::optional<std::string>(const std::string& viewerName)>;

    GeneralOptionsDialog(const GeneralOptionsValues& values, ViewerCheck check, QWidget* parent = nullptr);

    GeneralOptionsValues values() const;

    QLineEdit* viewerField() const { return m_viewer; }
    QCheckBox* logFileBox() const { return m_logFile; }
    QPushButton* saveButton() const { return m_save; }

signals:
    void helpRequested();

public:
    void reject() override;

private:
    void save();
    void browse();

    ViewerCheck m_check;
    QLineEdit* m_viewer;
    QCheckBox* m_logFile;
    QPushButton* m_save;
};

} // namespace quarvo::gui
