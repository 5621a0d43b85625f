#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zenrun {

// The advanced settings dialog as a form: its controls under the names the settings logic
// uses (settings/settings.h), which wires them. No logic here.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // Automatic line change
    QGroupBox* sGroupBox1 = nullptr;
    QCheckBox* aclcheck = nullptr;
    QLabel* sLabel1 = nullptr;
    QLineEdit* acltime = nullptr;
    QLabel* sLabel2 = nullptr;
    QCheckBox* acldelcheck = nullptr;
    // Change-line hot key
    QGroupBox* sGroupBox2 = nullptr;
    QCheckBox* shortcutkeycheck = nullptr;
    QComboBox* shortcutname = nullptr;
    QCheckBox* shortcutdelcheck = nullptr;
    // Automatic redial
    QGroupBox* sGroupBox3 = nullptr;
    QCheckBox* redialcheck = nullptr;
    QLabel* sLabel3 = nullptr;
    QLineEdit* redialtime = nullptr;
    QLabel* sLabel4 = nullptr;
    // Other
    QGroupBox* sGroupBox4 = nullptr;
    QCheckBox* taskmincheck = nullptr;
    // DNS
    QGroupBox* sGroupBox5 = nullptr;
    QRadioButton* sRadioButton1 = nullptr;
    QRadioButton* sRadioButton2 = nullptr;
    QRadioButton* sRadioButton3 = nullptr;
    QRadioButton* sRadioButton4 = nullptr;
    QRadioButton* sRadioButton5 = nullptr;
    QRadioButton* sRadioButton6 = nullptr;
    QLineEdit* dnsiptxt = nullptr;

    QPushButton* sButton1 = nullptr;  // confirm
    QPushButton* sButton2 = nullptr;  // cancel

    std::function<void()> onShow;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace zenrun
