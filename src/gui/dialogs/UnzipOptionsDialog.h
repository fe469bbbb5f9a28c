#pragma once

#include "gui/dialogs/OptionsDialog.h"

class QCheckBox;
class QLineEdit;

namespace quarvo::gui {

// "UNZIP Options": the extraction defaults for ZIP archives. The password lives for the run only;
// Save writes the three flags.
class UnzipOptionsDialog : public OptionsDialog {
    Q_OBJECT
  public:
    explicit UnzipOptionsDialog(AppSettings& settings, QWidget* parent = nullptr);

    QCheckBox* recurseOutBox() const { return m_recurseOut; }
    QCheckBox* overwriteBox() const { return m_overwrite; }
    QCheckBox* recreateBox() const { return m_recreate; }
    QLineEdit* passwordField() const { return m_password; }

  protected:
    void loadControls() override;
    void takeOverControls() override;
    void saveGroup() override;

  private:
    QCheckBox* m_recurseOut;
    QCheckBox* m_overwrite;
    QCheckBox* m_recreate;
    QLineEdit* m_password;
};

// "UNTAR Options": the unpacking defaults for TAR archives; Save writes all four flags.
class UntarOptionsDialog : public OptionsDialog {
    Q_OBJECT
  public:
    explicit UntarOptionsDialog(AppSettings& settings, QWidget* parent = nullptr);

    QCheckBox* recurseOutBox() const { return m_recurseOut; }
    QCheckBox* overwriteBox() const { return m_overwrite; }
    QCheckBox* recreateBox() const { return m_recreate; }
    QCheckBox* lineEndsBox() const { return m_lineEnds; }

  protected:
    void loadControls() override;
    void takeOverControls() override;
    void saveGroup() override;

  private:
    QCheckBox* m_recurseOut;
    QCheckBox* m_overwrite;
    QCheckBox* m_recreate;
    QCheckBox* m_lineEnds;
};

} // namespace quarvo::gui
