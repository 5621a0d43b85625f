#include "backend/passwordform.h"

#include "backend/accountformparts.h"

namespace zenrun {

namespace {
constexpr int kWidth = 340;
constexpr int kHeight = 220;
constexpr int kLabelX = 10;
constexpr int kLabelWidth = 124;
constexpr int kEditX = 140;
constexpr int kEditWidth = 180;
constexpr int kRow = 34;
constexpr int kTop = 16;
}  // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    using namespace accountform;
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("修改密码"));
    setFixedSize(kWidth, kHeight);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto row = [](int i) { return kTop + i * kRow; };
    sLabel1 = label(this, QStringLiteral("用户名:"), "sLabel1", kLabelX, row(0), kLabelWidth);
    UserID = edit(this, "UserID", kEditX, row(0), kEditWidth);
    sLabel2 = label(this, QStringLiteral("旧密码:"), "sLabel2", kLabelX, row(1), kLabelWidth);
    Upassword = secret(this, "Upassword", kEditX, row(1), kEditWidth);
    sLabel3 = label(this, QStringLiteral("新密码:"), "sLabel3", kLabelX, row(2), kLabelWidth);
    Upassword1 = secret(this, "Upassword1", kEditX, row(2), kEditWidth);
    sLabel4 = label(this, QStringLiteral("确认密码:"), "sLabel4", kLabelX, row(3), kLabelWidth);
    Upassword2 = secret(this, "Upassword2", kEditX, row(3), kEditWidth);

    sButton1 = button(this, QStringLiteral("修改"), "sButton1", 70, kHeight - 52);
    sButton2 = button(this, QStringLiteral("取消"), "sButton2", 186, kHeight - 52);

    setTabOrder(UserID, Upassword);
    setTabOrder(Upassword, Upassword1);
    setTabOrder(Upassword1, Upassword2);
    setTabOrder(Upassword2, sButton1);
    setTabOrder(sButton1, sButton2);
    UserID->setFocus();
    centreOnScreen(*this);
}

void TForm4::reject() {
    if (onCloseQuery && !onCloseQuery()) return;
    QDialog::reject();
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (onShow) onShow();
}

}  // namespace zenrun
