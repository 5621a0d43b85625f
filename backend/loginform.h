#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zenrun {

class WebPane;

// The login window as a form: its controls under the names the login logic uses. It holds
// no logic; the handlers are wired by the login (backend/login.h).
class Tfrmlogin : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmlogin(QWidget* parent = nullptr);

    WebPane* wb1 = nullptr;
    QGroupBox* sGroupBox1 = nullptr;
    QLabel* sLabel1 = nullptr;
    QLineEdit* edt_user = nullptr;
    QLabel* sLabel2 = nullptr;
    QLineEdit* edt_pass = nullptr;
    QLabel* sLabel3 = nullptr;
    QComboBox* lang = nullptr;
    QCheckBox* chkpass = nullptr;
    QCheckBox* chkstatus = nullptr;  // hidden; stored as an option
    QPushButton* sButton1 = nullptr;
    QPushButton* sButton3 = nullptr;  // hidden
    QPushButton* btn_login = nullptr;
    QPushButton* btn_exit = nullptr;
    QFrame* bottomPanel = nullptr;
    QLabel* Label3 = nullptr;        // status line
    QLabel* Label1 = nullptr;        // link text, outside the visible area
    QPushButton* Button1 = nullptr;  // hidden language probe

    // Window and control events that Qt has no signal for, wired by the login.
    std::function<void()> onShow;
    std::function<void()> onLangDblClick;
    std::function<void()> onLabel1Click;
    // Asked before the window closes (close button, Escape, system menu); false keeps it.
    std::function<bool()> onCloseQuery;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zenrun
