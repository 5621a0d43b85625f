#include "backend/registration.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "backend/accountrules.h"
#include "backend/endpoints.h"
#include "backend/registerform.h"
#include "core/langtext.h"
#include "core/session.h"
#include "platform/dialogs.h"
#include "platform/platform.h"

namespace zenrun {

Registration::Registration(const Session& session, Platform& platform, TForm2& form,
                           QString primaryHost)
    : session_(session), platform_(platform), form_(form), primaryHost_(std::move(primaryHost)) {
    form_.onShow = [this] { FormShow(); };
    // While the request waits, the dialog stays: its answer still has to be shown.
    form_.onCloseQuery = [this] { return !busy_; };
    QObject::connect(form_.sButton1, &QPushButton::clicked, &form_, [this] { sButton1Click(); });
    QObject::connect(form_.sButton2, &QPushButton::clicked, &form_, [this] { sButton2Click(); });
}

void Registration::FormShow() {
    const Session& s = session_;
    form_.setWindowTitle(tr3(s, "Register", "帐户注册"));
    form_.sLabel1->setText(tr3(s, "UserName:", "用户名:"));
    form_.sLabel2->setText(tr3(s, "Password:", "密码:"));
    form_.sLabel3->setText(tr3(s, "Confirm Password:", "确认密码:"));
    form_.sLabel4->setText(tr3(s, "Phone:", "电话:"));
    form_.sLabel5->setText(tr3(s, "E-Mail:", "邮箱:"));
    form_.sLabel6->setText(tr3(s, "QQ/MSN:", "QQ/MSN:"));
    form_.sLabel7->setText(tr3(s, "Address:", "地址:"));
    form_.sLabel9->setText(
        tr3(s, "The above 4 at least need to fill in 1", "这四项联系信息至少要填写一项"));
    form_.sButton1->setText(tr3(s, "Submit", "注册"));
    form_.sButton2->setText(tr3(s, "Cancel", "取消"));
}

void Registration::sButton2Click() {
    form_.reject();
}

// A second press while the request waits would register the same name twice and answer
// "name taken" to the user's own account.
void Registration::sButton1Click() {
    submitonce(
        busy_, form_.sButton1, form_.sButton2, [this] { return checkfields(); },
        [this] { send(); });
}

bool Registration::checkfields() {
    TForm2& f = form_;
    const QString user = trimmed(f.UserID);
    const bool nocontact = trimmed(f.User_Mobile).isEmpty() && trimmed(f.Email_Address).isEmpty() &&
                           trimmed(f.User_QQ).isEmpty() && trimmed(f.User_Address).isEmpty();
    return passchecks(
        session_, *platform_.dialogs,
        {
            {user.isEmpty(), "The user name cannot be empty", "用户名不能为空", f.UserID},
            {!accountname(user),
             "User name can only be letters and numbers or a combination of the two",
             "用户名只能为字母和数字或两者的组合", f.UserID},
            {trimmed(f.Upassword).size() < 6, "Need at least 6", "密码至少6位", f.Upassword},
            {trimmed(f.Upassword2).isEmpty(), "Confirm Password can not be empty",
             "确认密码不能为空", f.Upassword2},
            // As typed: a trailing blank makes two passwords differ, though both go out trimmed.
            {f.Upassword->text() != f.Upassword2->text(), "The two input password do not match",
             "输入的二次密码不一致", f.Upassword},
            {nocontact, "The above 4 at least need to fill in 1", "联系信息至少要填写一项",
             f.User_Mobile},
        });
}

void Registration::send() {
    const TForm2& f = form_;
    const FormFields fields{
        {QStringLiteral("UserID"), trimmed(f.UserID)},
        {QStringLiteral("Upassword"), trimmed(f.Upassword)},
        {QStringLiteral("Upassword2"), trimmed(f.Upassword2)},
        {QStringLiteral("User_True"), trimmed(f.User_True)},
        {QStringLiteral("User_Mobile"), trimmed(f.User_Mobile)},
        {QStringLiteral("Email_Address"), trimmed(f.Email_Address)},
        {QStringLiteral("User_QQ"), trimmed(f.User_QQ)},
        {QStringLiteral("User_Address"), trimmed(f.User_Address)},
    };
    const QString reply =
        postaccount(*platform_.http, *platform_.clock, primaryHost_, paths::kRegisterSave, fields);
    Dialogs& dialogs = *platform_.dialogs;
    if (reply == QLatin1String("ok")) {
        accountmessage(session_, dialogs, "Successfully registered", "注册成功");
        form_.accept();
    } else if (reply == QLatin1String("1")) {
        accountmessage(session_, dialogs,
                       "Has stopped registration function, please contact customer service",
                       "已经停止注册功能，请联系客服");
    } else if (reply == QLatin1String("2")) {
        accountmessage(session_, dialogs, "User name already exists, please re-enter a new name",
                       "用户名已经存在，请重新输入用户名");
    } else {
        accountmessage(session_, dialogs, "Registration failed, please try again",
                       "注册失败，请再试");
    }
}

void showregistration(const Session& session, Platform& platform, const QString& primaryHost,
                      QWidget* parent) {
    TForm2 form(parent);
    Registration registration(session, platform, form, primaryHost);
    registration.FormShow();  // the texts are right before the first paint, and under test too
    platform.dialogs->execModal(form);
}

}  // namespace zenrun
