#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include "backend/updatenotice.h"
#include "core/textutil.h"
#include "loginrig.h"
#include "ui/mainwindow.h"

namespace zenrun {
namespace {

using testing::kPrimary;
using testing::kSecondary;
using testing::LoginRig;
using testing::pressNotice;

const QString kNetworkMessage =
    QStringLiteral("服务器繁忙或此时网络质量差，请重新尝试连接或稍后再试");
const QString kKey = QStringLiteral("\\Software\\zididov");

TEST(Login, GoodLoginFillsTheSessionTheMainWindowAndTheLists) {
    LoginRig rig;
    rig.submit(QStringLiteral("  alice "), QStringLiteral(" s3cret "));
    const Session& s = rig.session;

    EXPECT_TRUE(s.loginok);
    EXPECT_EQ(rig.form->result(), QDialog::Accepted);
    EXPECT_TRUE(rig.sp.dialogs.boxes.isEmpty());
    EXPECT_EQ(s.username, "alice");
    EXPECT_EQ(s.userpass, "s3cret");
    EXPECT_EQ(s.userinfo, rig.backend.loginReply);
    EXPECT_EQ(s.serverhost, kPrimary);
    EXPECT_EQ(s.serverhost2, kSecondary);
    EXPECT_EQ(s.userpeerip, "198.51.100.7");
    EXPECT_EQ(s.newversion, "11.0");
    EXPECT_EQ(s.serverhostip, "10.0.0.9");
    EXPECT_EQ(s.updateurl, "http://dl.test/z.exe");
    EXPECT_EQ(s.routeenable, "2");
    const LoginCodes codes = logincodes(QStringLiteral("alice"), QStringLiteral("s3cret"));
    EXPECT_EQ(s.usercode, codes.usercode);
    EXPECT_EQ(s.passcode, codes.passcode);
    EXPECT_EQ(s.upcode, codes.upcode);
    EXPECT_EQ(s.upcode2, codes.upcode2);
    EXPECT_EQ(s.viewcode, codes.viewcode);

    EXPECT_EQ(rig.main.userlabel->text(), "用户名：alice  " + rig.backend.loginReply);
    EXPECT_EQ(rig.main.statuslabel->text(), "未连接");
    EXPECT_EQ(rig.main.localiplabel->text(), "本地IP为：198.51.100.7");

    // The credentials go trimmed, once, to the probed host, with the short read time-out.
    const auto posts = rig.requestsTo(QStringLiteral("usercheckkiv11"));
    ASSERT_EQ(posts.size(), 1);
    EXPECT_EQ(posts[0].method, "POST");
    EXPECT_EQ(posts[0].url, "http://" + kPrimary + "/vpnadmin/useradmin/usercheckkiv11.php");
    EXPECT_EQ(posts[0].form, (FormFields{{"UserID", "alice"}, {"Upassword", "s3cret"}}));
    EXPECT_EQ(posts[0].readTimeoutMs, 2000);

    const auto lists = rig.requestsTo(QStringLiteral("vpnlistkiv11"));
    ASSERT_EQ(lists.size(), 1);
    EXPECT_EQ(lists[0].url, vpnlisturl(s, QStringLiteral("alice")));
    EXPECT_EQ(s.lineini.sections(), (QStringList{"华东", "华南"}));
    EXPECT_EQ(s.lineini.value("华东", "Tokyo-02"), "enc2,90%,0,1");

    EXPECT_EQ(s.routeini.sections(), (QStringList{"全局加速", "游戏A", "游戏B"}));
    QStringList items;
    for (int i = 0; i < rig.main.routetype->count(); ++i) items << rig.main.routetype->itemText(i);
    EXPECT_EQ(items, s.routeini.sections());
    EXPECT_EQ(rig.main.routetype->currentIndex(), 0);
    EXPECT_FALSE(rig.main.vercheck->enabled());
}

TEST(Login, RouteListOnlyWhenTheProbeOffersRouteModes) {
    struct Case {
        const char* flag;
        const char* routes;
        bool requested;
        QStringList items;
    };
    const Case cases[] = {
        {"2", "[全局加速]\n[游戏A]\n", true, {"全局加速", "游戏A"}},
        {"2", "", true, {"全局加速"}},  // an empty list keeps the designed item
        {"1", "[全局加速]\n[游戏A]\n", false, {"全局加速"}},
        {"", "[全局加速]\n[游戏A]\n", false, {"全局加速"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("routeenable '%1'").arg(c.flag).toStdString());
        LoginRig rig;
        rig.backend.probePrimary = QStringLiteral("198.51.100.7-11.0-10.0.0.9-(x)-") + c.flag;
        rig.backend.routes = QString::fromUtf8(c.routes);
        rig.submit(QStringLiteral("alice"), QStringLiteral("pw"));
        ASSERT_TRUE(rig.session.loginok);
        EXPECT_EQ(rig.requestsTo(QStringLiteral("routelistkiv11")).size(), c.requested ? 1 : 0);
        QStringList items;
        for (int i = 0; i < rig.main.routetype->count(); ++i)
            items << rig.main.routetype->itemText(i);
        EXPECT_EQ(items, c.items);
    }
}

TEST(Login, AnEmptyLineListStillLogsIn) {
    LoginRig rig;
    rig.backend.lines.clear();
    rig.submit(QStringLiteral("alice"), QStringLiteral("pw"));
    EXPECT_TRUE(rig.session.loginok);
    EXPECT_TRUE(rig.session.lineini.isEmpty());
    EXPECT_TRUE(rig.sp.dialogs.boxes.isEmpty());
}

TEST(Login, WrongCredentialsShowTheMessageInTheBoxAndTheStatusLine) {
    LoginRig rig;
    rig.backend.loginReply = QStringLiteral("error");
    rig.submit(QStringLiteral("alice"), QStringLiteral("wrong"));

    ASSERT_EQ(rig.sp.dialogs.boxes.size(), 1);
    EXPECT_EQ(rig.sp.dialogs.boxes[0].text, "用户名或密码错误");
    EXPECT_EQ(rig.sp.dialogs.boxes[0].caption, "Zenrun 11.0");
    EXPECT_EQ(rig.sp.dialogs.boxes[0].icon, MsgIcon::Warning);
    EXPECT_EQ(rig.form->Label3->text(), "用户名或密码错误");
    EXPECT_FALSE(rig.form->Label3->isHidden());
    EXPECT_FALSE(rig.session.loginok);
    EXPECT_NE(rig.form->result(), QDialog::Accepted);
    EXPECT_EQ(rig.session.userpeerip, "198.51.100.7");  // the probe fields stay
    EXPECT_TRUE(rig.session.username.isEmpty());
    EXPECT_TRUE(rig.requestsTo(QStringLiteral("vpnlistkiv11")).isEmpty());
    EXPECT_FALSE(rig.sp.registry.keyExists(Hive::CurrentUser, kKey) &&
                 rig.sp.registry.valueExists(Hive::CurrentUser, kKey, "savelang"));

    // The window stays usable: a second attempt with the right password goes through.
    rig.backend.loginReply = QStringLiteral("ok");
    rig.form->edt_pass->setText(QStringLiteral("right"));
    rig.form->btn_login->click();
    EXPECT_TRUE(rig.session.loginok);
}

TEST(Login, AnyReplyButErrorIsAccountInformation) {
    for (const QString& reply :
         {QStringLiteral(" "), QStringLiteral("Error"), QStringLiteral("error\n")}) {
        LoginRig rig;
        rig.backend.loginReply = reply;
        rig.submit(QStringLiteral("alice"), QStringLiteral("pw"));
        EXPECT_TRUE(rig.session.loginok) << reply.toStdString();
        EXPECT_EQ(rig.session.userinfo, reply);
    }
}

TEST(Login, PrimaryFailingThePostMovesBothHostsToTheFallback) {
    LoginRig rig;
    rig.backend.postFails = {kPrimary};
    rig.submit(QStringLiteral("alice"), QStringLiteral("pw"));

    EXPECT_TRUE(rig.session.loginok);
    EXPECT_EQ(rig.session.serverhost, kSecondary);
    EXPECT_EQ(rig.session.serverhost2, kSecondary);
    const auto posts = rig.requestsTo(QStringLiteral("usercheckkiv11"));
    ASSERT_EQ(posts.size(), 2);
    EXPECT_TRUE(posts[1].url.startsWith("http://" + kSecondary + "/"));
    EXPECT_EQ(posts[1].form, posts[0].form);
    EXPECT_EQ(posts[1].readTimeoutMs, 2000);
    // The lists come from the host that answered.
    EXPECT_TRUE(
        rig.requestsTo(QStringLiteral("vpnlistkiv11"))[0].url.startsWith("http://" + kSecondary));
}

TEST(Login, NetworkMessageWhenNoHostAnswers) {
    struct Case {
        const char* what;
        bool probeSilent;
        QStringList postFails;
        int posts;
    };
    const Case cases[] = {
        {"both hosts silent at the probe", true, {}, 0},
        {"the POST fails on both hosts", false, {kPrimary, kSecondary}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoginRig rig;
        if (c.probeSilent) {
            rig.backend.probePrimary.clear();
            rig.backend.probeSecondary.clear();
        }
        rig.backend.postFails = c.postFails;
        rig.submit(QStringLiteral("alice"), QStringLiteral("pw"));

        ASSERT_EQ(rig.sp.dialogs.boxes.size(), 1);
        EXPECT_EQ(rig.sp.dialogs.boxes[0].text, kNetworkMessage);
        EXPECT_TRUE(rig.form->Label3->isHidden());
        EXPECT_FALSE(rig.session.loginok);
        EXPECT_EQ(rig.requestsTo(QStringLiteral("usercheckkiv11")).size(), c.posts);
        EXPECT_EQ(rig.session.serverhost, c.probeSilent ? QString() : kPrimary);
        EXPECT_FALSE(rig.session.viewcode.isEmpty());  // the codes were computed first
    }
}

TEST(Login, EmptyFieldsAreRefusedBeforeAnyRequest) {
    struct Case {
        const char* user;
        const char* pass;
        int lang;
        const char* message;
    };
    const Case cases[] = {
        {"", "pw", 0, "账号不能为空"},
        {"", "", 0, "账号不能为空"},
        {"alice", "", 0, "密码必须输入"},
        {"", "pw", 1, "The user name cannot be empty"},
        {"alice", "", 1, "Password cannot be empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        LoginRig rig;
        rig.open();
        rig.form->lang->setCurrentIndex(c.lang);
        rig.login->localisation().langChange();
        rig.submit(QString::fromUtf8(c.user), QString::fromUtf8(c.pass));
        ASSERT_EQ(rig.sp.dialogs.boxes.size(), 1);
        EXPECT_EQ(rig.sp.dialogs.boxes[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(rig.sp.dialogs.boxes[0].icon, MsgIcon::Warning);
        EXPECT_TRUE(rig.sp.http.requests.isEmpty());
    }
    // Blanks count as typed: the check passes and the back-end gets the trimmed (empty) text.
    LoginRig rig;
    rig.submit(QStringLiteral("  "), QStringLiteral(" "));
    EXPECT_TRUE(rig.sp.dialogs.boxes.isEmpty());
    ASSERT_EQ(rig.requestsTo(QStringLiteral("usercheckkiv11")).size(), 1);
    EXPECT_EQ(rig.requestsTo(QStringLiteral("usercheckkiv11"))[0].form,
              (FormFields{{"UserID", ""}, {"Upassword", ""}}));
}

TEST(Login, EnterInEitherFieldLogsInOnce) {
    for (bool inPassword : {false, true}) {
        LoginRig rig;
        rig.open();
        rig.form->edt_user->setText(QStringLiteral("alice"));
        rig.form->edt_pass->setText(QStringLiteral("pw"));
        QLineEdit* field = inPassword ? rig.form->edt_pass : rig.form->edt_user;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(field, &press);
        EXPECT_TRUE(rig.session.loginok) << (inPassword ? "password" : "user name");
        EXPECT_EQ(rig.requestsTo(QStringLiteral("usercheckkiv11")).size(), 1);
    }
}

TEST(Login, ExitAndPageButtons) {
    LoginRig rig;
    rig.open();
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(rig.form->Label1, &click);
    rig.login->sButton3Click();
    rig.login->FormShow();
    EXPECT_EQ(rig.sp.shell.opened, (QStringList{"http://" + testing::testhosts().accountSite +
                                                    "/vpnadmin/useradmin/user_self_new.php",
                                                testing::testhosts().customerService}));
    EXPECT_EQ(rig.form->wb1->currentUrl(),
              "http://" + testing::testhosts().clientPages + "/kivclient11/top.htm");
    bool registration = false;
    rig.login->showRegistration = [&] { registration = true; };
    rig.form->sButton1->click();
    EXPECT_TRUE(registration);

    rig.form->show();
    rig.form->btn_exit->click();
    EXPECT_FALSE(rig.form->isVisible());
    EXPECT_FALSE(rig.session.loginok);
    EXPECT_TRUE(rig.sp.http.requests.isEmpty());
}

TEST(Login, TheWindowStaysWhileAnAttemptWaits) {
    LoginRig rig;
    rig.open();
    rig.form->show();
    int presses = 0;
    rig.sp.http.setHandler([&](const SimHttp::Request& r) {
        if (r.url.contains(QStringLiteral("usercheckkiv11"))) {
            // The user presses everything while the back-end thinks.
            rig.form->reject();
            rig.form->btn_login->click();
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(rig.form->edt_pass, &enter);
            ++presses;
            return HttpReply{true, 200, QStringLiteral("ok"), {}};
        }
        return HttpReply{true, 200, QStringLiteral("198.51.100.7-11.0-10.0.0.9-(x)-1"), {}};
    });
    rig.form->edt_user->setText(QStringLiteral("alice"));
    rig.form->edt_pass->setText(QStringLiteral("pw"));
    rig.form->btn_login->click();
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(rig.session.loginok);
    EXPECT_EQ(rig.form->result(), QDialog::Accepted);
    EXPECT_TRUE(rig.form->btn_login->isEnabled());
}

// --- Version notice -----------------------------------------------------------------------

TEST(UpdateNotice, OutdatedVersionAndDownloadEndsTheLoginWithoutCredentials) {
    LoginRig rig;
    rig.backend.probePrimary =
        QStringLiteral("198.51.100.7-11.1-10.0.0.9-(http://dl.test/new.exe)-2");
    rig.sp.dialogs.queueModal(pressNotice(true));
    rig.open();
    rig.form->show();
    rig.submit(QStringLiteral("alice"), QStringLiteral("pw"));

    EXPECT_EQ(rig.sp.dialogs.modalsShown, QStringList{"Form6"});
    EXPECT_EQ(rig.sp.shell.opened, QStringList{"http://dl.test/new.exe"});
    EXPECT_EQ(rig.session.updateflag, "2");
    EXPECT_FALSE(rig.session.loginok);
    EXPECT_FALSE(rig.form->isVisible());
    EXPECT_TRUE(rig.requestsTo(QStringLiteral("usercheckkiv11")).isEmpty());
    EXPECT_TRUE(rig.main.vercheck->enabled());
    EXPECT_EQ(rig.form->Label3->text(), "已经新版本，旧版本可能无法使用，建议您下载最新版本");
}

TEST(UpdateNotice, CancelContinuesAndTheReminderBalloonsTwice) {
    LoginRig rig;
    VersionReminder reminder(rig.session, rig.sp.dialogs, *rig.main.vercheck);
    rig.backend.probePrimary =
        QStringLiteral("198.51.100.7-11.1-10.0.0.9-(http://dl.test/new.exe)-2");
    rig.session.updateflag = QStringLiteral("1");
    rig.sp.dialogs.queueModal(pressNotice(false));
    rig.submit(QStringLiteral("alice"), QStringLiteral("pw"));

    EXPECT_TRUE(rig.session.loginok);
    EXPECT_EQ(rig.session.updateflag, "1");
    EXPECT_TRUE(rig.sp.shell.opened.isEmpty());
    ASSERT_TRUE(rig.main.vercheck->enabled());

    auto balloonsAt = [&](qint64 seconds) {
        rig.sp.clock.advance(seconds * 1000 - rig.sp.clock.elapsedMs());
        return rig.sp.dialogs.balloons.size();
    };
    EXPECT_EQ(balloonsAt(14), 0);
    EXPECT_EQ(balloonsAt(15), 1);
    EXPECT_EQ(balloonsAt(29), 1);
    EXPECT_EQ(balloonsAt(30), 2);
    EXPECT_EQ(balloonsAt(45), 2);
    EXPECT_FALSE(rig.main.vercheck->enabled());
    EXPECT_EQ(balloonsAt(120), 2);

    const auto& b = rig.sp.dialogs.balloons[0];
    EXPECT_EQ(b.title, "更新提示");
    EXPECT_EQ(b.text, "已经有更新版本，强烈建议您下载最新版本");
    EXPECT_EQ(b.icon, MsgIcon::Information);
    EXPECT_EQ(b.timeoutMs, 10000);
}

TEST(UpdateNotice, OtherVersionsNeitherNoticeNorRemind) {
    for (const char* version : {"11.2", "11.10", "11.0", "", "11.1 "}) {
        SCOPED_TRACE(version);
        LoginRig rig;
        VersionReminder reminder(rig.session, rig.sp.dialogs, *rig.main.vercheck);
        rig.backend.probePrimary =
            QStringLiteral("198.51.100.7-%1-10.0.0.9-(http://dl.test/new.exe)-2")
                .arg(QString::fromUtf8(version));
        if (QByteArray(version).isEmpty())
            rig.backend.probePrimary = QStringLiteral("198.51.100.7");
        rig.submit(QStringLiteral("alice"), QStringLiteral("pw"));
        EXPECT_TRUE(rig.session.loginok);
        EXPECT_TRUE(rig.sp.dialogs.modalsShown.isEmpty());
        EXPECT_FALSE(rig.main.vercheck->enabled());
        rig.sp.clock.advance(60000);
        EXPECT_TRUE(rig.sp.dialogs.balloons.isEmpty());
    }
}

TEST(UpdateNotice, TextsFollowTheLanguage) {
    struct Case {
        int langindex;
        QString caption, label, download, cancel;
    };
    const QString english = QStringLiteral(
        "There have been updated version, the old version may not be available, we strongly "
        "recommend that you download the latest version");
    const Case cases[] = {
        {1, "软件更新", "已经有新版，请立即下载更新，否则可能无法使用", "立即下载", "下次再说"},
        {2, "Update", english, "Download", "Cancel"},
        {3, totraditional("软件更新"),
         totraditional("已经有新版，请立即下载更新，否则可能无法使用"), totraditional("立即下载"),
         totraditional("下次再说")},
    };
    for (const Case& c : cases) {
        Session s;
        s.langindex = c.langindex;
        SimShell shell;
        TForm6 form;
        UpdateNotice notice(s, shell, form);
        form.show();  // the show event sets the texts
        EXPECT_EQ(form.windowTitle(), c.caption);
        EXPECT_EQ(form.sLabel1->text(), c.label);
        EXPECT_EQ(form.sButton1->text(), c.download);
        EXPECT_EQ(form.sButton2->text(), c.cancel);
        form.close();
    }
    // An unusable address still counts as the choice to download.
    Session s;
    SimShell shell;
    TForm6 form;
    UpdateNotice notice(s, shell, form);
    notice.sButton1Click();
    EXPECT_EQ(s.updateflag, "2");
    EXPECT_EQ(shell.opened, QStringList{QString()});
}

// --- Stored options --------------------------------------------------------------------------

TEST(LoginOptions, SecondStartRestoresWhatWasTypedOnlyWhenRemembered) {
    for (bool remember : {true, false}) {
        SCOPED_TRACE(remember ? "remembered" : "not remembered");
        LoginRig rig;
        rig.open();
        rig.form->chkpass->setChecked(remember);
        rig.form->lang->setCurrentIndex(2);
        rig.login->localisation().langChange();
        rig.submit(QStringLiteral("  bob "), QStringLiteral(" p w "));
        ASSERT_TRUE(rig.session.loginok);
        EXPECT_EQ(rig.session.username, "bob");

        RegStore& reg = rig.sp.registry;
        EXPECT_EQ(reg.readInteger(Hive::CurrentUser, kKey, "savepassword"), remember ? 1 : 0);
        EXPECT_EQ(reg.readInteger(Hive::CurrentUser, kKey, "saveautodial"), 0);
        EXPECT_EQ(reg.readString(Hive::CurrentUser, kKey, "savelang"), "2");

        // Next start: a fresh session and window over the same store.
        rig.session.langindex = 0;
        rig.open();
        EXPECT_EQ(rig.form->chkpass->isChecked(), remember);
        EXPECT_EQ(rig.form->edt_user->text(), remember ? "  bob " : "");
        EXPECT_EQ(rig.form->edt_pass->text(), remember ? " p w " : "");
        EXPECT_EQ(rig.form->lang->currentIndex(), 2);
        EXPECT_EQ(rig.session.langindex, 3);
    }
}

TEST(LoginOptions, UncheckingKeepsTheStoredCredentialsButStopsLoadingThem) {
    LoginRig rig;
    rig.open();
    rig.form->chkpass->setChecked(true);
    rig.submit(QStringLiteral("bob"), QStringLiteral("old"));
    rig.open();
    rig.form->chkpass->setChecked(false);
    rig.submit(QStringLiteral("carol"), QStringLiteral("new"));
    rig.open();
    EXPECT_TRUE(rig.form->edt_user->text().isEmpty());
    EXPECT_TRUE(rig.form->edt_pass->text().isEmpty());
    EXPECT_EQ(rig.sp.registry.readString(Hive::CurrentUser, kKey, "username"), "bob");
    EXPECT_EQ(rig.sp.registry.readString(Hive::CurrentUser, kKey, "password"), "old");
}

TEST(LoginOptions, UnreadableOptionsLeaveTheWindowAsDesigned) {
    struct Case {
        const char* what;
        std::function<void(RegStore&)> store;
        bool checked;
        int langindex;
    };
    const Case cases[] = {
        {"nothing stored", [](RegStore&) {}, false, 0},
        {"savepassword of the wrong type",
         [](RegStore& r) {
             r.writeString(Hive::CurrentUser, kKey, "savepassword", "1");
             r.writeString(Hive::CurrentUser, kKey, "savelang", "1");
         },
         false, 0},
        {"non-numeric savelang",
         [](RegStore& r) {
             r.writeInteger(Hive::CurrentUser, kKey, "savepassword", 1);
             r.writeString(Hive::CurrentUser, kKey, "savelang", "en");
         },
         true, 0},
        {"savelang out of range",
         [](RegStore& r) { r.writeString(Hive::CurrentUser, kKey, "savelang", "7"); }, false, 0},
        {"stored English",
         [](RegStore& r) { r.writeString(Hive::CurrentUser, kKey, "savelang", "1"); }, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoginRig rig;
        c.store(rig.sp.registry);
        rig.open();
        EXPECT_EQ(rig.form->chkpass->isChecked(), c.checked);
        EXPECT_EQ(rig.session.langindex, c.langindex);
        EXPECT_EQ(rig.form->lang->currentIndex(), c.langindex == 0 ? 0 : c.langindex - 1);
        EXPECT_EQ(rig.form->btn_login->text(), c.langindex == 2 ? "Login" : "登  陆");
    }
}

}  // namespace
}  // namespace zenrun
