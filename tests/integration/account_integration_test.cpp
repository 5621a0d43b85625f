// The registration and password dialogs against a real zenrun-backend on loopback: every
// reply word the back-end gives them, and a back-end that says nothing.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>

#include "backend/passwordchange.h"
#include "backend/passwordform.h"
#include "backend/registerform.h"
#include "backend/registration.h"
#include "backendfixture.h"
#include "core/session.h"
#include "core/textutil.h"
#include "platform/linux/qthttp.h"
#include "platform/sim/simplatform.h"

namespace zenrun {
namespace {

using testing::BackendFixture;

#define START(backend) ASSERT_TRUE((backend).started()) << (backend).error().toStdString()

const QString kRegisterPath = QString::fromLatin1(paths::kRegisterSave);
const QString kPassPath = QString::fromLatin1(paths::kPassSave);
const QString kUserCheck = QString::fromLatin1(paths::kUserCheck);

// The simulated desktop (boxes, clock) with real HTTP.
struct Rig {
    SimPlatform sp;
    Session session;

    Rig() { sp.owned->http = std::make_unique<QtHttp>(); }

    // Fills the registration dialog, presses submit; the message shown, and whether it closed.
    std::pair<QString, bool> registration(const QString& host, const QString& user,
                                          const QString& pass = QStringLiteral("secret1"),
                                          const QString& mobile = QStringLiteral("13800000000")) {
        TForm2 form;
        Registration logic(session, sp.platform, form, host);
        form.show();
        form.UserID->setText(user);
        form.Upassword->setText(pass);
        form.Upassword2->setText(pass);
        form.User_Mobile->setText(mobile);
        form.sButton1->click();
        return {lastBox(), form.result() == QDialog::Accepted};
    }
    std::pair<QString, bool> password(const QString& host, const QString& user, const QString& old,
                                      const QString& fresh) {
        TForm4 form;
        PasswordChange logic(session, sp.platform, form, host);
        form.show();
        form.UserID->setText(user);
        form.Upassword->setText(old);
        form.Upassword1->setText(fresh);
        form.Upassword2->setText(fresh);
        form.sButton1->click();
        return {lastBox(), form.result() == QDialog::Accepted};
    }
    QString lastBox() const {
        return sp.dialogs.boxes.isEmpty() ? QString() : sp.dialogs.boxes.back().text;
    }
    // The back-end's own word on a user name and password.
    QString signin(const BackendFixture& b, const QString& user, const QString& pass) {
        return sp.platform.http
            ->post(b.url(kUserCheck), {{"UserID", user}, {"Upassword", pass}}, 2000, {})
            .body;
    }
};

TEST(AccountDialogsAgainstBackend, RegistrationRepliesOkThenNameTaken) {
    BackendFixture b;
    START(b);
    Rig rig;
    const auto first = rig.registration(b.host(), QStringLiteral(" Player7 "));
    EXPECT_EQ(first.first, "注册成功");
    EXPECT_TRUE(first.second) << "the dialog closes after success";
    EXPECT_NE(rig.signin(b, QStringLiteral("Player7"), QStringLiteral("secret1")), "error")
        << "the new account signs in";

    rig.session.langindex = 2;
    const auto again = rig.registration(b.host(), QStringLiteral("Player7"));
    EXPECT_EQ(again.first, "User name already exists, please re-enter a new name");
    EXPECT_FALSE(again.second);
    const auto demo = rig.registration(b.host(), QStringLiteral("demo"));
    EXPECT_EQ(demo.first, "User name already exists, please re-enter a new name");
}

TEST(AccountDialogsAgainstBackend, RegistrationSwitchedOff) {
    QJsonObject data = BackendFixture::demoData();
    data[QStringLiteral("registration")] = false;
    BackendFixture b({data, {}});
    START(b);
    Rig rig;
    rig.session.langindex = 3;
    const auto reply = rig.registration(b.host(), QStringLiteral("newbie1"));
    const QString simplified = QStringLiteral("已经停止注册功能，请联系客服");
    EXPECT_EQ(reply.first, totraditional(simplified));
    EXPECT_NE(reply.first, simplified);
    EXPECT_FALSE(reply.second);
}

TEST(AccountDialogsAgainstBackend, RegistrationRefusedOrBrokenIsAFailure) {
    BackendFixture b;
    START(b);
    Rig rig;
    // Letters and digits pass here, but the back-end takes at most 32 of them: its "0".
    const auto longName = rig.registration(b.host(), QString(40, QLatin1Char('a')));
    EXPECT_EQ(longName.first, "注册失败，请再试");
    EXPECT_FALSE(longName.second);

    ASSERT_TRUE(b.setFault(kRegisterPath, QStringLiteral("status:500")));
    EXPECT_EQ(rig.registration(b.host(), QStringLiteral("fresh1")).first, "注册失败，请再试");
    // "ok" and a line break.
    ASSERT_TRUE(b.setFault(kRegisterPath, QStringLiteral("hex:6F6B0D0A")));
    EXPECT_EQ(rig.registration(b.host(), QStringLiteral("fresh2")).first, "注册失败，请再试");
    ASSERT_TRUE(b.setFault(kRegisterPath, QStringLiteral("close")));
    EXPECT_EQ(rig.registration(b.host(), QStringLiteral("fresh3")).first, "注册失败，请再试");
}

TEST(AccountDialogsAgainstBackend, PasswordChangeOkThenTheOldOneIsWrong) {
    BackendFixture b;
    START(b);
    Rig rig;
    const auto changed = rig.password(b.host(), QStringLiteral(" demo "), QStringLiteral("demo123"),
                                      QStringLiteral("newpass9"));
    EXPECT_EQ(changed.first, "修改成功");
    EXPECT_TRUE(changed.second);
    EXPECT_NE(rig.signin(b, QStringLiteral("demo"), QStringLiteral("newpass9")), "error");

    rig.session.langindex = 2;
    const auto stale = rig.password(b.host(), QStringLiteral("demo"), QStringLiteral("demo123"),
                                    QStringLiteral("another1"));
    EXPECT_EQ(stale.first, "The user name or password is incorrect, please check and try again");
    EXPECT_FALSE(stale.second);
    const auto nobody = rig.password(b.host(), QStringLiteral("nobody"), QStringLiteral("whatever"),
                                     QStringLiteral("another1"));
    EXPECT_EQ(nobody.first, "The user name or password is incorrect, please check and try again");
}

// A back-end that takes the request and never answers: the dialog gives up after its read
// time-out, says the request failed and stays open.
TEST(AccountDialogsAgainstBackend, SilentBackendGivesTheFailureAfterTheTimeOut) {
    BackendFixture b;
    START(b);
    ASSERT_TRUE(b.setFault(kRegisterPath, QStringLiteral("stall:30000")));
    ASSERT_TRUE(b.setFault(kPassPath, QStringLiteral("stall:30000")));
    Rig rig;

    QElapsedTimer t;
    t.start();
    const auto reg = rig.registration(b.host(), QStringLiteral("quiet1"));
    const qint64 regMs = t.restart();
    const auto pass = rig.password(b.host(), QStringLiteral("demo"), QStringLiteral("demo123"),
                                   QStringLiteral("newpass9"));
    const qint64 passMs = t.elapsed();

    EXPECT_EQ(reg.first, "注册失败，请再试");
    EXPECT_FALSE(reg.second);
    EXPECT_EQ(pass.first, "修改失败，请稍后再试");
    EXPECT_FALSE(pass.second);
    // The wait is the 2000 ms read time-out: not cut short, and nowhere near the stall. (The
    // time-out's timer may fire up to 5% early.)
    for (const qint64 ms : {regMs, passMs}) {
        EXPECT_GE(ms, 1800);
        EXPECT_LT(ms, 15000);
    }
    std::printf("silent back-end: registration gave up after %lld ms, password after %lld ms\n",
                static_cast<long long>(regMs), static_cast<long long>(passMs));
}

}  // namespace
}  // namespace zenrun
