// The registration and password dialogs on the simulated platform: the field checks in
// their order with their messages and focus moves, the request to the primary host and
// every reply word, in all three languages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <memory>

#include "backend/accountrules.h"
#include "backend/passwordchange.h"
#include "backend/passwordform.h"
#include "backend/registerform.h"
#include "backend/registration.h"
#include "core/langtext.h"
#include "core/session.h"
#include "platform/sim/simplatform.h"

namespace zenrun {
namespace {

const QString kPrimary = QStringLiteral("127.0.0.1:9000");
const QString kRegisterUrl =
    QStringLiteral("http://127.0.0.1:9000/vpnadmin/useradmin/user_self_new_savekiv11.php");
const QString kPassUrl =
    QStringLiteral("http://127.0.0.1:9000/vpnadmin/useradmin/mypass_savekiv11.php");

struct Text {
    const char* english;
    const char* chinese;
    QString in(int lang) const {
        return langtext(lang, QString::fromUtf8(english), QString::fromUtf8(chinese));
    }
};

// One dialog and its logic over the simulated platform, shown so that focus moves are real.
template <typename Form, typename Logic>
struct Rig {
    SimPlatform sp;
    Session session;
    std::unique_ptr<Form> form;
    std::unique_ptr<Logic> logic;

    explicit Rig(int lang) {
        session.langindex = lang;
        // The login may have moved to the fallback host; the account dialogs never follow.
        session.serverhost = QStringLiteral("127.0.0.2:9000");
        form = std::make_unique<Form>();
        logic = std::make_unique<Logic>(session, sp.platform, *form, kPrimary);
        form->show();
        form->activateWindow();
        QApplication::processEvents();
    }
    ~Rig() { form->hide(); }
    // Clicks submit; the one box it showed, or "" (with a failure) when it showed none or more.
    QString submit() {
        const qsizetype before = sp.dialogs.boxes.size();
        form->sButton1->click();
        EXPECT_EQ(sp.dialogs.boxes.size(), before + 1) << "exactly one message per click";
        if (sp.dialogs.boxes.size() != before + 1) return {};
        const auto& box = sp.dialogs.boxes.back();
        EXPECT_EQ(box.icon, MsgIcon::Warning);
        EXPECT_EQ(box.caption, "Zenrun 11.0");
        return box.text;
    }
    QString focused() const {
        QWidget* w = form->focusWidget();
        return w ? w->objectName() : QString();
    }
    int lang() const { return session.langindex; }
};
using RegRig = Rig<TForm2, Registration>;
using PassRig = Rig<TForm4, PasswordChange>;

const int kLanguages[] = {1, 2, 3};

TEST(AccountRules, NameIsAsciiLettersAndDigitsOnly) {
    for (const char* ok : {"a", "Z9", "demo123", "ABCxyz0189"})
        EXPECT_TRUE(accountname(QString::fromUtf8(ok))) << ok;
    for (const char* bad : {"", "a b", "a_b", "用户", "ab-c", "né", "ａb", "a.b", "a\tb"})
        EXPECT_FALSE(accountname(QString::fromUtf8(bad))) << bad;
}

// --- registration -------------------------------------------------------------------------

struct RegFields {
    const char* user;
    const char* pass;
    const char* pass2;
    const char* mobile = "";
    const char* email = "";
    const char* qq = "";
    const char* address = "";
};

void fill(TForm2& f, const RegFields& v) {
    f.UserID->setText(QString::fromUtf8(v.user));
    f.Upassword->setText(QString::fromUtf8(v.pass));
    f.Upassword2->setText(QString::fromUtf8(v.pass2));
    f.User_Mobile->setText(QString::fromUtf8(v.mobile));
    f.Email_Address->setText(QString::fromUtf8(v.email));
    f.User_QQ->setText(QString::fromUtf8(v.qq));
    f.User_Address->setText(QString::fromUtf8(v.address));
}

const Text kNameEmpty{"The user name cannot be empty", "用户名不能为空"};
const Text kNameChars{"User name can only be letters and numbers or a combination of the two",
                      "用户名只能为字母和数字或两者的组合"};
const Text kConfirmEmpty{"Confirm Password can not be empty", "确认密码不能为空"};
const Text kMismatch{"The two input password do not match", "输入的二次密码不一致"};

TEST(Registration, ChecksRunInOrderWithTheirMessageAndFocus) {
    struct Case {
        const char* what;
        RegFields fields;
        Text message;
        const char* focus;
    };
    const Case cases[] = {
        {"empty name", {"", "", ""}, kNameEmpty, "UserID"},
        {"blank name", {"   ", "secret1", "secret1", "1"}, kNameEmpty, "UserID"},
        {"underscore", {"ab_c", "", ""}, kNameChars, "UserID"},
        {"inner blank", {" a b ", "secret1", "secret1", "1"}, kNameChars, "UserID"},
        {"chinese name", {"张三", "secret1", "secret1", "1"}, kNameChars, "UserID"},
        {"empty password", {"demo1", "", ""}, {"Need at least 6", "密码至少6位"}, "Upassword"},
        {"5 after trimming",
         {"demo1", " 12345 ", " 12345 "},
         {"Need at least 6", "密码至少6位"},
         "Upassword"},
        {"blank confirmation", {"demo1", "secret1", "   "}, kConfirmEmpty, "Upassword2"},
        {"trailing blank", {"demo1", "secret1", "secret1 ", "1"}, kMismatch, "Upassword"},
        {"case differs", {"demo1", "secret1", "Secret1", "1"}, kMismatch, "Upassword"},
        {"no contact",
         {"demo1", "secret1", "secret1", " ", "  ", "", "\t"},
         {"The above 4 at least need to fill in 1", "联系信息至少要填写一项"},
         "User_Mobile"},
    };
    for (const int lang : kLanguages) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", language " + std::to_string(lang));
            RegRig rig(lang);
            fill(*rig.form, c.fields);
            EXPECT_EQ(rig.submit(), c.message.in(lang));
            EXPECT_EQ(rig.focused(), c.focus);
            EXPECT_TRUE(rig.sp.http.requests.isEmpty()) << "nothing is sent after a failed check";
            EXPECT_TRUE(rig.form->isVisible());
        }
    }
}

TEST(Registration, SendsTrimmedFieldsToThePrimaryHostWithAnEmptyFullName) {
    RegRig rig(2);
    rig.sp.http.queueBody(QStringLiteral("user_self_new_savekiv11"), QStringLiteral("ok"));
    // Only the e-mail given is enough; blanks around a name are not part of it.
    fill(*rig.form, {"  Demo42  ", " secret1 ", " secret1 ", " ", " me@example.test "});
    rig.submit();

    ASSERT_EQ(rig.sp.http.requests.size(), 1);
    const auto& r = rig.sp.http.requests.front();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.url, kRegisterUrl);
    EXPECT_EQ(r.readTimeoutMs, 2000);
    EXPECT_EQ(r.userAgent, "tkoxgnk_vvuoa");
    const FormFields expected{{"UserID", "Demo42"},      {"Upassword", "secret1"},
                              {"Upassword2", "secret1"}, {"User_True", ""},
                              {"User_Mobile", ""},       {"Email_Address", "me@example.test"},
                              {"User_QQ", ""},           {"User_Address", ""}};
    EXPECT_EQ(r.form, expected);
}

TEST(Registration, EveryReplyWordHasItsMessageAndOnlyOkCloses) {
    struct Case {
        const char* what;
        HttpReply reply;
        Text message;
        bool closes;
    };
    const Text failed{"Registration failed, please try again", "注册失败，请再试"};
    const Case cases[] = {
        {"ok", {true, 200, "ok", {}}, {"Successfully registered", "注册成功"}, true},
        {"switched off",
         {true, 200, "1", {}},
         {"Has stopped registration function, please contact customer service",
          "已经停止注册功能，请联系客服"},
         false},
        {"name taken",
         {true, 200, "2", {}},
         {"User name already exists, please re-enter a new name",
          "用户名已经存在，请重新输入用户名"},
         false},
        {"refused input", {true, 200, "0", {}}, failed, false},
        {"empty", {true, 200, "", {}}, failed, false},
        {"ok with a line break", {true, 200, "ok\r\n", {}}, failed, false},
        {"ok with a blank", {true, 200, " ok", {}}, failed, false},
        {"upper case", {true, 200, "OK", {}}, failed, false},
        {"no answer", {false, 0, {}, "timed out"}, failed, false},
        {"server error", {false, 500, "ok", "HTTP status 500"}, failed, false},
    };
    for (const int lang : kLanguages) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", language " + std::to_string(lang));
            RegRig rig(lang);
            rig.sp.http.queue(QStringLiteral("user_self_new_savekiv11"), c.reply);
            fill(*rig.form, {"demo1", "secret1", "secret1", "13800000000"});
            EXPECT_EQ(rig.submit(), c.message.in(lang));
            EXPECT_EQ(rig.form->result() == QDialog::Accepted, c.closes);
            EXPECT_EQ(rig.form->isVisible(), !c.closes);
            if (!c.closes) {
                EXPECT_EQ(rig.form->UserID->text(), "demo1") << "fields stay as typed";
                EXPECT_TRUE(rig.form->sButton1->isEnabled());
            }
        }
    }
}

// --- password change ----------------------------------------------------------------------

struct PassFields {
    const char* user;
    const char* old;
    const char* fresh;
    const char* fresh2;
};

void fill(TForm4& f, const PassFields& v) {
    f.UserID->setText(QString::fromUtf8(v.user));
    f.Upassword->setText(QString::fromUtf8(v.old));
    f.Upassword1->setText(QString::fromUtf8(v.fresh));
    f.Upassword2->setText(QString::fromUtf8(v.fresh2));
}

TEST(PasswordChange, ChecksRunInOrderWithTheirMessageAndFocus) {
    struct Case {
        const char* what;
        PassFields fields;
        Text message;
        const char* focus;
    };
    const Text oldEmpty{"Password cannot be empty", "旧密码不能为空"};
    const Text tooShort{"Need at least 6", "新密码至少6位"};
    const Case cases[] = {
        {"empty name", {"", "", "", ""}, kNameEmpty, "UserID"},
        {"blank name", {" ", "old", "secret1", "secret1"}, kNameEmpty, "UserID"},
        {"underscore", {"de_mo", "old", "secret1", "secret1"}, kNameChars, "UserID"},
        {"inner blank", {"de mo", "", "", ""}, kNameChars, "UserID"},
        {"chinese name", {"演示", "", "", ""}, kNameChars, "UserID"},
        {"empty old", {"demo", "", "secret1", "secret1"}, oldEmpty, "Upassword"},
        {"blank old", {"demo", "   ", "secret1", "secret1"}, oldEmpty, "Upassword"},
        {"empty new", {"demo", "x", "", ""}, tooShort, "Upassword1"},
        {"5 after trimming", {"demo", "x", "  12345", "  12345"}, tooShort, "Upassword1"},
        {"blank confirmation", {"demo", "x", "secret1", " "}, kConfirmEmpty, "Upassword2"},
        {"trailing blank", {"demo", "x", "secret1", "secret1 "}, kMismatch, "Upassword1"},
        {"case differs", {"demo", "x", "secret1", "SECRET1"}, kMismatch, "Upassword1"},
    };
    for (const int lang : kLanguages) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", language " + std::to_string(lang));
            PassRig rig(lang);
            fill(*rig.form, c.fields);
            EXPECT_EQ(rig.submit(), c.message.in(lang));
            EXPECT_EQ(rig.focused(), c.focus);
            EXPECT_TRUE(rig.sp.http.requests.isEmpty()) << "nothing is sent after a failed check";
            EXPECT_TRUE(rig.form->isVisible());
        }
    }
}

TEST(PasswordChange, SendsTrimmedFieldsToThePrimaryHostForAnyAccount) {
    PassRig rig(1);
    rig.session.username = QStringLiteral("someoneelse");
    rig.session.userpass = QStringLiteral("different");
    rig.sp.http.queueBody(QStringLiteral("mypass_savekiv11"), QStringLiteral("ok"));
    fill(*rig.form, {" demo ", " old pw ", " secret1 ", " secret1 "});
    rig.submit();

    ASSERT_EQ(rig.sp.http.requests.size(), 1);
    const auto& r = rig.sp.http.requests.front();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.url, kPassUrl);
    EXPECT_EQ(r.readTimeoutMs, 2000);
    EXPECT_EQ(r.userAgent, "tkoxgnk_vvuoa");
    const FormFields expected{{"UserID", "demo"},
                              {"Upassword", "old pw"},
                              {"Upassword1", "secret1"},
                              {"Upassword2", "secret1"}};
    EXPECT_EQ(r.form, expected);
    EXPECT_EQ(rig.session.userpass, "different") << "the session is not touched";
}

TEST(PasswordChange, EveryReplyWordHasItsMessageAndOnlyOkCloses) {
    struct Case {
        const char* what;
        HttpReply reply;
        Text message;
        bool closes;
    };
    const Text failed{"update failed, please try again later", "修改失败，请稍后再试"};
    const Case cases[] = {
        {"ok", {true, 200, "ok", {}}, {"Successfully updated", "修改成功"}, true},
        {"wrong",
         {true, 200, "1", {}},
         {"The user name or password is incorrect, please check and try again",
          "用户名或密码不对，请核对后再试"},
         false},
        {"refused", {true, 200, "0", {}}, failed, false},
        {"two is not a word here", {true, 200, "2", {}}, failed, false},
        {"empty", {true, 200, "", {}}, failed, false},
        {"ok with a line break", {true, 200, "ok\n", {}}, failed, false},
        {"no answer", {false, 0, {}, "read time-out"}, failed, false},
    };
    for (const int lang : kLanguages) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", language " + std::to_string(lang));
            PassRig rig(lang);
            rig.sp.http.queue(QStringLiteral("mypass_savekiv11"), c.reply);
            fill(*rig.form, {"demo", "demo123", "secret1", "secret1"});
            EXPECT_EQ(rig.submit(), c.message.in(lang));
            EXPECT_EQ(rig.form->result() == QDialog::Accepted, c.closes);
            EXPECT_EQ(rig.form->isVisible(), !c.closes);
        }
    }
}

// --- both ---------------------------------------------------------------------------------

// While the request waits the window keeps handling events; a second press or a close must
// not send the form again or pull the dialog away before its answer is shown.
TEST(AccountDialogs, APressOrCloseWhileTheRequestWaitsIsIgnored) {
    RegRig reg(1);
    fill(*reg.form, {"demo1", "secret1", "secret1", "1"});
    reg.sp.http.setHandler([&](const SimHttp::Request&) {
        reg.form->sButton1->click();
        reg.logic->sButton1Click();
        reg.form->reject();
        return HttpReply{true, 200, QStringLiteral("2"), {}};
    });
    EXPECT_EQ(reg.submit(), "用户名已经存在，请重新输入用户名");
    EXPECT_EQ(reg.sp.http.requests.size(), 1);
    EXPECT_TRUE(reg.form->isVisible());

    PassRig pass(1);
    fill(*pass.form, {"demo", "demo123", "secret1", "secret1"});
    pass.sp.http.setHandler([&](const SimHttp::Request&) {
        pass.logic->sButton1Click();
        pass.form->reject();
        return HttpReply{true, 200, QStringLiteral("1"), {}};
    });
    EXPECT_EQ(pass.submit(), "用户名或密码不对，请核对后再试");
    EXPECT_EQ(pass.sp.http.requests.size(), 1);
    EXPECT_TRUE(pass.form->isVisible());
    pass.form->sButton2->click();
    EXPECT_FALSE(pass.form->isVisible()) << "cancel closes once the request is over";
}

TEST(AccountDialogs, PasswordsAreMaskedAndTheFullNameIsOutOfReach) {
    RegRig rig(1);
    TForm2& reg = *rig.form;
    for (QLineEdit* e : {reg.Upassword, reg.Upassword2})
        EXPECT_EQ(e->echoMode(), QLineEdit::Password) << e->objectName().toStdString();
    for (QLineEdit* e :
         {reg.UserID, reg.User_Mobile, reg.Email_Address, reg.User_QQ, reg.User_Address})
        EXPECT_EQ(e->echoMode(), QLineEdit::Normal) << e->objectName().toStdString();
    EXPECT_FALSE(reg.rect().intersects(reg.User_True->geometry()));
    EXPECT_TRUE(reg.windowFlags() & Qt::WindowStaysOnTopHint);
    // The tab key walks the fields in their order and never reaches the full name.
    reg.UserID->setFocus();
    QStringList walk{rig.focused()};
    for (int i = 0; i < 8; ++i) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(reg.focusWidget(), &tab);
        walk << rig.focused();
    }
    EXPECT_EQ(walk,
              (QStringList{"UserID", "Upassword", "Upassword2", "User_Mobile", "Email_Address",
                           "User_QQ", "User_Address", "sButton1", "sButton2"}));

    TForm4 pass;
    for (QLineEdit* e : {pass.Upassword, pass.Upassword1, pass.Upassword2})
        EXPECT_EQ(e->echoMode(), QLineEdit::Password) << e->objectName().toStdString();
    EXPECT_EQ(pass.UserID->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(pass.UserID->text().isEmpty());
}

TEST(AccountDialogs, TextsFollowTheLanguage) {
    struct Expect {
        const char* control;
        const char* simplified;
        const char* english;
    };
    const Expect registration[] = {
        {"Form2", "帐户注册", "Register"},
        {"sLabel1", "用户名:", "UserName:"},
        {"sLabel2", "密码:", "Password:"},
        {"sLabel3", "确认密码:", "Confirm Password:"},
        {"sLabel4", "电话:", "Phone:"},
        {"sLabel5", "邮箱:", "E-Mail:"},
        {"sLabel6", "QQ/MSN:", "QQ/MSN:"},
        {"sLabel7", "地址:", "Address:"},
        {"sLabel8", "姓名:", "姓名:"},
        {"sLabel9", "这四项联系信息至少要填写一项", "The above 4 at least need to fill in 1"},
        {"sButton1", "注册", "Submit"},
        {"sButton2", "取消", "Cancel"},
    };
    const Expect password[] = {
        {"Form4", "修改密码", "Update Password"},
        {"sLabel1", "用户名:", "UserID:"},
        {"sLabel2", "旧密码:", "Password:"},
        {"sLabel3", "新密码:", "New Password:"},
        {"sLabel4", "确认密码:", "Confirm Password:"},
        {"sButton1", "修改", "Submit"},
        {"sButton2", "取消", "Cancel"},
    };
    auto textOf = [](QWidget& form, const char* name) -> QString {
        if (form.objectName() == QLatin1String(name)) return form.windowTitle();
        QObject* o = form.findChild<QObject*>(QString::fromLatin1(name));
        if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
        if (auto* b = qobject_cast<QPushButton*>(o)) return b->text();
        return QStringLiteral("<no %1>").arg(QLatin1String(name));
    };
    for (const int lang : kLanguages) {
        SCOPED_TRACE("language " + std::to_string(lang));
        RegRig reg(lang);
        for (const Expect& e : registration) {
            EXPECT_EQ(textOf(*reg.form, e.control), (Text{e.english, e.simplified}.in(lang)))
                << e.control;
        }
        PassRig pass(lang);
        for (const Expect& e : password) {
            EXPECT_EQ(textOf(*pass.form, e.control), (Text{e.english, e.simplified}.in(lang)))
                << e.control;
        }
    }
}

TEST(AccountDialogs, EachOpeningIsAFreshModalDialog) {
    SimPlatform sp;
    Session session;
    int runs = 0;
    auto typeAndCancel = [&](QDialog& d) {
        ++runs;
        auto* user = d.findChild<QLineEdit*>(QStringLiteral("UserID"));
        EXPECT_TRUE(user && user->text().isEmpty()) << "nothing is remembered between openings";
        if (user) user->setText(QStringLiteral("typed"));
        d.findChild<QPushButton*>(QStringLiteral("sButton2"))->click();
        return d.result();
    };
    for (int i = 0; i < 2; ++i) {
        sp.dialogs.queueModal(typeAndCancel);
        showregistration(session, sp.platform, kPrimary, nullptr);
        sp.dialogs.queueModal(typeAndCancel);
        showpassword(session, sp.platform, kPrimary, nullptr);
    }
    EXPECT_EQ(runs, 4);
    EXPECT_EQ(sp.dialogs.modalsShown, (QStringList{"Form2", "Form4", "Form2", "Form4"}));
    EXPECT_TRUE(sp.http.requests.isEmpty());
}

}  // namespace
}  // namespace zenrun
