#include "backend/passwordchange.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "backend/accountrules.h"
#include "backend/endpoints.h"
#include "backend/passwordform.h"
#include "core/langtext.h"
#include "core/session.h"
#include "platform/dialogs.h"
#include "platform/platform.h"

namespace zenrun {

PasswordChange::PasswordChange(const Session& session, Platform& platform, TForm4& form,
                               QString primaryHost)
    : session_(session), platform_(platform), form_(form), primaryHost_(std::move(primaryHost)) {
    form_.onShow = [this] { FormShow(); };
    // While the request waits, the dialog stays: its answer still has to be shown.
    form_.onCloseQuery = [this] { return !busy_; };
    QObject::connect(form_.sButton1, &QPushButton::clicked, &form_, [this] { sButton1Click(); });
    QObject::connect(form_.sButton2, &QPushButton::clicked, &form_, [this] { sButton2Click(); });
}

void PasswordChange::FormShow() {
    const Session& s = session_;
    form_.setWindowTitle(tr3(s, "Update Password", "修改密码"));
    form_.sLabel1->setText(tr3(s, "UserID:", "用户名:"));
    form_.sLabel2->setText(tr3(s, "Password:", "旧密码:"));
    form_.sLabel3->setText(tr3(s, "New Password:", "新密码:"));
    form_.sLabel4->setText(tr3(s, "Confirm Password:", "确认密码:"));
    form_.sButton1->setText(tr3(s, "Submit", "修改"));
    form_.sButton2->setText(tr3(s, "Cancel", "取消"));
}

void PasswordChange::sButton2Click() {
    form_.reject();
}

// A second press while the request waits would send the change again with an old password
// that no longer holds, and answer "wrong password" to a change that worked.
void PasswordChange::sButton1Click() {
    submitonce(
        busy_, form_.sButton1, form_.sButton2, [this] { return checkfields(); },
        [this] { send(); });
}

bool PasswordChange::checkfields() {
    TForm4& f = form_;
    const QString user = trimmed(f.UserID);
    return passchecks(
        session_, *platform_.dialogs,
        {
            {user.isEmpty(), "The user name cannot be empty", "用户名不能为空", f.UserID},
            {!accountname(user),
             "User name can only be letters and numbers or a combination of the two",
             "用户名只能为字母和数字或两者的组合", f.UserID},
            {trimmed(f.Upassword).isEmpty(), "Password cannot be empty", "旧密码不能为空",
             f.Upassword},
            {trimmed(f.Upassword1).size() < 6, "Need at least 6", "新密码至少6位", f.Upassword1},
            {trimmed(f.Upassword2).isEmpty(), "Confirm Password can not be empty",
             "确认密码不能为空", f.Upassword2},
            // As typed: a trailing blank makes two passwords differ, though both go out trimmed.
            {f.Upassword1->text() != f.Upassword2->text(), "The two input password do not match",
             "输入的二次密码不一致", f.Upassword1},
        });
}

void PasswordChange::send() {
    const TForm4& f = form_;
    const FormFields fields{
        {QStringLiteral("UserID"), trimmed(f.UserID)},
        {QStringLiteral("Upassword"), trimmed(f.Upassword)},
        {QStringLiteral("Upassword1"), trimmed(f.Upassword1)},
        {QStringLiteral("Upassword2"), trimmed(f.Upassword2)},
    };
    const QString reply =
        postaccount(*platform_.http, *platform_.clock, primaryHost_, paths::kPassSave, fields);
    Dialogs& dialogs = *platform_.dialogs;
    if (reply == QLatin1String("ok")) {
        accountmessage(session_, dialogs, "Successfully updated", "修改成功");
        form_.accept();
    } else if (reply == QLatin1String("1")) {
        accountmessage(session_, dialogs,
                       "The user name or password is incorrect, please check and try again",
                       "用户名或密码不对，请核对后再试");
    } else {
        accountmessage(session_, dialogs, "update failed, please try again later",
                       "修改失败，请稍后再试");
    }
}

void showpassword(const Session& session, Platform& platform, const QString& primaryHost,
                  QWidget* parent) {
    TForm4 form(parent);
    PasswordChange change(session, platform, form, primaryHost);
    change.FormShow();  // the texts are right before the first paint, and under test too
    platform.dialogs->execModal(form);
}

}  // namespace zenrun
