#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zenrun {

// The registration dialog as a form. It holds no logic; the registration (backend/registration.h)
// sets its texts and wires its buttons.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    QLabel* sLabel1 = nullptr;  // user name
    QLineEdit* UserID = nullptr;
    QLabel* sLabel2 = nullptr;  // password
    QLineEdit* Upassword = nullptr;
    QLabel* sLabel3 = nullptr;  // confirmation
    QLineEdit* Upassword2 = nullptr;
    QLabel* sLabel4 = nullptr;  // phone
    QLineEdit* User_Mobile = nullptr;
    QLabel* sLabel5 = nullptr;  // e-mail
    QLineEdit* Email_Address = nullptr;
    QLabel* sLabel6 = nullptr;  // instant messenger
    QLineEdit* User_QQ = nullptr;
    QLabel* sLabel7 = nullptr;  // address
    QLineEdit* User_Address = nullptr;
    QLabel* sLabel8 = nullptr;  // full name, outside the visible area like its field
    QLineEdit* User_True = nullptr;
    QLabel* sLabel9 = nullptr;        // red note under the contact fields
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
