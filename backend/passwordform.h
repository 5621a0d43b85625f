#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zenrun {

// The password dialog as a form. It holds no logic; the password change
// (backend/passwordchange.h) sets its texts and wires its buttons.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    QLabel* sLabel1 = nullptr;  // user name
    QLineEdit* UserID = nullptr;
    QLabel* sLabel2 = nullptr;  // old password
    QLineEdit* Upassword = nullptr;
    QLabel* sLabel3 = nullptr;  // new password
    QLineEdit* Upassword1 = nullptr;
    QLabel* sLabel4 = nullptr;  // new password again
    QLineEdit* Upassword2 = nullptr;
    QPushButton* sButton1 = nullptr;  // submit
    QPushButton* sButton2 = nullptr;  // cancel

    std::function<void()> onShow;
    // Asked before the dialog closes (cancel, Escape, system menu); false keeps it open.
    std::function<bool()> onCloseQuery;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace zenrun
