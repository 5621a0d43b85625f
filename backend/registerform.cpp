#include "backend/registerform.h"

#include "backend/accountformparts.h"

namespace zenrun {

namespace {
constexpr int kWidth = 340;
constexpr int kHeight = 350;
constexpr int kLabelX = 10;
constexpr int kLabelWidth = 124;
constexpr int kEditX = 140;
constexpr int kEditWidth = 180;
constexpr int kRow = 34;
constexpr int kTop = 16;
}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    using namespace accountform;
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("帐户注册"));
    setFixedSize(kWidth, kHeight);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto row = [](int i) { return kTop + i * kRow; };
    sLabel1 = label(this, QStringLiteral("用户名:"), "sLabel1", kLabelX, row(0), kLabelWidth);
    UserID = edit(this, "UserID", kEditX, row(0), kEditWidth);
    sLabel2 = label(this, QStringLiteral("密码:"), "sLabel2", kLabelX, row(1), kLabelWidth);
    Upassword = secret(this, "Upassword", kEditX, row(1), kEditWidth);
    sLabel3 = label(this, QStringLiteral("确认密码:"), "sLabel3", kLabelX, row(2), kLabelWidth);
    Upassword2 = secret(this, "Upassword2", kEditX, row(2), kEditWidth);
    sLabel4 = label(this, QStringLiteral("电话:"), "sLabel4", kLabelX, row(3), kLabelWidth);
    User_Mobile = edit(this, "User_Mobile", kEditX, row(3), kEditWidth);
    sLabel5 = label(this, QStringLiteral("邮箱:"), "sLabel5", kLabelX, row(4), kLabelWidth);
    Email_Address = edit(this, "Email_Address", kEditX, row(4), kEditWidth);
    sLabel6 = label(this, QStringLiteral("QQ/MSN:"), "sLabel6", kLabelX, row(5), kLabelWidth);
    User_QQ = edit(this, "User_QQ", kEditX, row(5), kEditWidth);
    sLabel7 = label(this, QStringLiteral("地址:"), "sLabel7", kLabelX, row(6), kLabelWidth);
    User_Address = edit(this, "User_Address", kEditX, row(6), kEditWidth);

    // The full name is asked nowhere the user can reach: outside the client area and out of
    // the tab chain, so it is always sent empty.
    sLabel8 = label(this, QStringLiteral("姓名:"), "sLabel8", kWidth + 20, 0, 60);
    User_True = edit(this, "User_True", kWidth + 90, 0, 120);
    User_True->setFocusPolicy(Qt::NoFocus);

    sLabel9 = place(new QLabel(QStringLiteral("这四项联系信息至少要填写一项"), this), "sLabel9",
                    kEditX - 40, row(7) - 4, kEditWidth + 40, 36);
    sLabel9->setWordWrap(true);
    sLabel9->setStyleSheet(QStringLiteral("color: red;"));

    sButton1 = button(this, QStringLiteral("注册"), "sButton1", 70, kHeight - 52);
    sButton2 = button(this, QStringLiteral("取消"), "sButton2", 186, kHeight - 52);

    setTabOrder(UserID, Upassword);
    setTabOrder(Upassword, Upassword2);
    setTabOrder(Upassword2, User_Mobile);
    setTabOrder(User_Mobile, Email_Address);
    setTabOrder(Email_Address, User_QQ);
    setTabOrder(User_QQ, User_Address);
    setTabOrder(User_Address, sButton1);
    setTabOrder(sButton1, sButton2);
    UserID->setFocus();
    centreOnScreen(*this);
}

void TForm2::reject() {
    if (onCloseQuery && !onCloseQuery()) return;
    QDialog::reject();
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (onShow) onShow();
}

}  // namespace zenrun
