// The login window against a real zenrun-backend on loopback: the probe, the credential
// POST with its fallback host, the session it fills and the lists it downloads.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "backend/login.h"
#include "backend/loginform.h"
#include "backend/updatenotice.h"
#include "backendfixture.h"
#include "core/session.h"
#include "core/textutil.h"
#include "platform/linux/qthttp.h"
#include "platform/sim/simplatform.h"
#include "ui/mainwindow.h"

namespace zenrun {
namespace {

using testing::BackendFixture;

#define START(backend) ASSERT_TRUE((backend).started()) << (backend).error().toStdString()

const QString kNetworkMessage =
    QStringLiteral("服务器繁忙或此时网络质量差，请重新尝试连接或稍后再试");
const QString kUserCheck = QString::fromLatin1(paths::kUserCheck);
const QString kNetCheck = QString::fromLatin1(paths::kNetCheck);

// The simulated desktop (boxes, registry, clock) with real HTTP.
struct Rig {
    SimPlatform sp;
    Session session;
    Tfrmmain main{sp.clock};
    std::unique_ptr<Tfrmlogin> form;
    std::unique_ptr<Login> login;

    Rig() { sp.owned->http = std::make_unique<QtHttp>(); }

    void submit(const Hosts& hosts, const QString& user, const QString& pass, int lang = 0) {
        form = std::make_unique<Tfrmlogin>();
        login = std::make_unique<Login>(session, sp.platform, *form, main, hosts);
        form->lang->setCurrentIndex(lang);
        login->localisation().langChange();
        form->edt_user->setText(user);
        form->edt_pass->setText(pass);
        form->btn_login->click();
    }
    QStringList boxTexts() const {
        QStringList out;
        for (const auto& b : sp.dialogs.boxes) out << b.text;
        return out;
    }
};

Hosts pair(const BackendFixture& primary, const BackendFixture& secondary) {
    Hosts h = primary.hosts();
    h.secondary = secondary.host();
    return h;
}

TEST(LoginAgainstBackend, DemoAccountFillsTheSessionAndDownloadsTheLists) {
    BackendFixture b;
    START(b);
    Rig rig;
    rig.submit(b.hosts(), QStringLiteral(" demo "), QStringLiteral("demo123"));
    const Session& s = rig.session;

    ASSERT_TRUE(s.loginok) << rig.boxTexts().join('|').toStdString();
    EXPECT_EQ(rig.form->result(), QDialog::Accepted);
    EXPECT_EQ(s.username, "demo");
    EXPECT_EQ(s.userpass, "demo123");
    EXPECT_EQ(s.userinfo, "到期时间：2027-12-31");
    EXPECT_EQ(s.serverhost, b.host());
    EXPECT_EQ(s.userpeerip, "127.0.0.1");
    EXPECT_EQ(s.newversion, "11.0");
    EXPECT_EQ(s.serverhostip, "127.0.0.1");
    EXPECT_EQ(s.updateurl, "http://127.0.0.1:9000/kivclient11/zenrun_11_1.tar.gz");
    EXPECT_EQ(s.routeenable, "2");
    EXPECT_EQ(s.viewcode, logincodes("demo", "demo123").viewcode);

    EXPECT_EQ(rig.main.userlabel->text(), "用户名：demo  到期时间：2027-12-31");
    EXPECT_EQ(rig.main.statuslabel->text(), "未连接");
    EXPECT_EQ(rig.main.localiplabel->text(), "本地IP为：127.0.0.1");

    EXPECT_EQ(s.lineini.sections(), (QStringList{"华东", "华南", "华北", "海外"}));
    EXPECT_FALSE(s.lineini.value("华东", "上海电信1").isEmpty());
    EXPECT_EQ(s.routeini.sections(), (QStringList{"全局加速", "海外加速"}));
    ASSERT_EQ(rig.main.routetype->count(), 2);
    EXPECT_EQ(rig.main.routetype->itemText(1), "海外加速");
    EXPECT_EQ(rig.main.routetype->currentIndex(), 0);
}

TEST(LoginAgainstBackend, EnglishAsksForTheEnglishForms) {
    BackendFixture b;
    START(b);
    Rig rig;
    rig.submit(b.hosts(), QStringLiteral("demo"), QStringLiteral("demo123"), 1);
    ASSERT_TRUE(rig.session.loginok);
    EXPECT_EQ(rig.session.userinfo, "Expires: 2027-12-31");
    EXPECT_EQ(rig.main.userlabel->text(), "UserName：demo  Expires: 2027-12-31");
    EXPECT_EQ(rig.session.lineini.sections().first(), "East China");
    EXPECT_EQ(rig.session.routeini.sections(), (QStringList{"global", "Overseas"}));
}

TEST(LoginAgainstBackend, WrongCredentialsShowTheMessage) {
    BackendFixture b;
    START(b);
    for (const auto& [user, pass] :
         {std::pair{"demo", "demo124"}, std::pair{"nobody", "demo123"}}) {
        Rig rig;
        rig.submit(b.hosts(), QString::fromUtf8(user), QString::fromUtf8(pass));
        EXPECT_EQ(rig.boxTexts(), QStringList{"用户名或密码错误"});
        EXPECT_EQ(rig.form->Label3->text(), "用户名或密码错误");
        EXPECT_FALSE(rig.session.loginok);
        EXPECT_TRUE(rig.session.lineini.isEmpty());
    }
}

TEST(LoginAgainstBackend, PrimaryFailingThePostMovesBothHostsToTheFallback) {
    // The primary answers the probe but its login page fails: by a dropped connection, by
    // an error status, and by a stall past the login's 2000 ms read time-out.
    for (const char* fault : {"close", "status:500", "stall:6000"}) {
        SCOPED_TRACE(fault);
        BackendFixture primary({{}, {kUserCheck + "=" + fault}});
        BackendFixture secondary;
        START(primary);
        START(secondary);
        Rig rig;
        rig.submit(pair(primary, secondary), QStringLiteral("demo"), QStringLiteral("demo123"));
        ASSERT_TRUE(rig.session.loginok) << rig.boxTexts().join('|').toStdString();
        EXPECT_EQ(rig.session.serverhost, secondary.host());
        EXPECT_EQ(rig.session.serverhost2, secondary.host());
        EXPECT_EQ(rig.session.lineini.sections().size(), 4);
    }
}

TEST(LoginAgainstBackend, NetworkMessageWhenTheHostsFail) {
    struct Case {
        const char* what;
        QString primaryFault, secondaryFault;
        bool probed;
    };
    const Case cases[] = {
        {"both hosts silent at the probe", kNetCheck + "=empty", kNetCheck + "=close", false},
        {"the login page fails on both", kUserCheck + "=close", kUserCheck + "=status:503", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BackendFixture primary({{}, {c.primaryFault}});
        BackendFixture secondary({{}, {c.secondaryFault}});
        START(primary);
        START(secondary);
        Rig rig;
        rig.submit(pair(primary, secondary), QStringLiteral("demo"), QStringLiteral("demo123"));
        EXPECT_EQ(rig.boxTexts(), QStringList{kNetworkMessage});
        EXPECT_TRUE(rig.form->Label3->isHidden());
        EXPECT_FALSE(rig.session.loginok);
        EXPECT_EQ(rig.session.serverhost, c.probed ? primary.host() : QString());
    }
}

TEST(LoginAgainstBackend, OutdatedVersionAndDownloadEndsWithoutLoggingIn) {
    QJsonObject data = BackendFixture::demoData();
    QJsonObject probe = data[QStringLiteral("probe")].toObject();
    probe[QStringLiteral("version")] = QStringLiteral("11.1");
    data[QStringLiteral("probe")] = probe;
    BackendFixture b({data, {}});
    START(b);
    Rig rig;
    rig.sp.dialogs.queueModal([](QDialog& d) {
        auto& notice = dynamic_cast<TForm6&>(d);
        EXPECT_EQ(notice.sButton1->text(), "立即下载");
        notice.sButton1->click();
        return notice.result();
    });
    rig.submit(b.hosts(), QStringLiteral("demo"), QStringLiteral("demo123"));
    EXPECT_EQ(rig.sp.shell.opened,
              QStringList{"http://127.0.0.1:9000/kivclient11/zenrun_11_1.tar.gz"});
    EXPECT_EQ(rig.session.updateflag, "2");
    EXPECT_FALSE(rig.session.loginok);
    EXPECT_TRUE(rig.session.userinfo.isEmpty());
    EXPECT_TRUE(rig.main.vercheck->enabled());
}

}  // namespace
}  // namespace zenrun
