// The dial monitor: link-up, the dial error table, the 13-second check, drops and redials.
#include "server/codec.h"
#include "vpnrig.h"

namespace zenrun::testing {
namespace {

using DialMonitor_ = VpnRig;

TEST(DialErrorTable, EveryCodeInEveryLanguage) {
    const struct {
        int code;
        const char* english;
        const char* chinese;
    } cases[] = {
        {691, "Username or password cannot be verified", "用户名和密码无法验证"},
        {633, "System fault, please open the client or restart the computer",
         "系统故障，请重新打开客户端或重新启动电脑"},
        {756, "System fault, please open the client or restart the computer",
         "系统故障，请重新打开客户端或重新启动电脑"},
        {650, "Unable to connect, please replace the line", "无法连接，请更换线路"},
        {602, "Unable to connect, please replace the line", "无法连接，请更换线路"},
        {1000, "Unable to connect, please replace the line", "无法连接，请更换线路"},
        {930, "cannot be authenticated", "服务器无法进行身份验证"},
        {619, "May your network to limit or the line fault", "可能您的网络有限制或此线路存在故障"},
        {800, "May your network to limit or the line fault", "可能您的网络有限制或此线路存在故障"},
    };
    for (const auto& c : cases) {
        const QString n = QString::number(c.code) + QLatin1Char(' ');
        const QString zh = QString::fromUtf8(c.chinese);
        EXPECT_EQ(dialerrortext(2, c.code),
                  QStringLiteral("Error:") + n + QString::fromUtf8(c.english));
        EXPECT_EQ(dialerrortext(1, c.code), QStringLiteral("错误：") + n + zh);
        EXPECT_EQ(dialerrortext(0, c.code), QStringLiteral("错误：") + n + zh);
        EXPECT_EQ(dialerrortext(3, c.code), totraditional(QStringLiteral("错误：") + n + zh));
    }
    EXPECT_EQ(dialerrortext(3, 691), QStringLiteral("錯誤：691 用戶名和密碼無法驗證"));
}

TEST_F(DialMonitor_, ADialErrorIsWordedAndTearsDown) {
    session.langindex = 2;
    sim.ras.setScriptFor(QStringLiteral("10.9.0.2"), SimRas::failsWith(691, 1500));
    connectTo(QStringLiteral("T1"));
    ASSERT_EQ(ourRoutes(), 1u);
    sim.clock.advance(2000);
    EXPECT_EQ(status(), QStringLiteral("Error:691 Username or password cannot be verified"));
    EXPECT_TRUE(idle());
    EXPECT_EQ(ourRoutes(), 0u);
    EXPECT_FALSE(session.routesadded);
    EXPECT_TRUE(sim.ras.phonebook().empty());
    EXPECT_EQ(session.connhandle, 0);
    for (Timer* t : {form->dialupstatus.get(), form->dialupcheck.get(), form->rast12.get(),
                     form->statuscheck.get()})
        EXPECT_FALSE(t->enabled());
    sim.clock.advance(20000);
    EXPECT_EQ(status(), QStringLiteral("Error:691 Username or password cannot be verified"))
        << "nothing follows";
}

TEST_F(DialMonitor_, A601IsNeverReportedTheThirteenSecondCheckIs) {
    sim.ras.setScript(SimRas::staysDialling());
    connectTo(QStringLiteral("T1"));
    const int handle = session.connhandle;
    sim.clock.advance(1000);
    sim.ras.notify(handle, kRasQueryFailed);
    sim.clock.advance(11500);
    EXPECT_EQ(status(), QStringLiteral("正在建立连接"));
    EXPECT_TRUE(connecting());
    sim.clock.advance(600);  // 13.1 s after the dial
    EXPECT_EQ(status(), QStringLiteral("不能连接，请更换其它线路再试"));
    EXPECT_TRUE(idle());
    EXPECT_EQ(ourRoutes(), 0u);
    EXPECT_TRUE(sim.ras.calls().contains(QStringLiteral("hangUp %1").arg(handle)));
    EXPECT_TRUE(sim.ras.phonebook().empty());
    EXPECT_FALSE(form->dialupcheck->enabled());
    EXPECT_TRUE(form->dialupstatus->enabled()) << "the check leaves the 1 s timer running";
    EXPECT_EQ(sim.ras.watchedSlot(), 2);
}

TEST_F(DialMonitor_, LinkUpActionsAndStatusReportsOnlyForIssuedAccounts) {
    for (bool dialaccount : {true, false}) {
        SCOPED_TRACE(dialaccount);
        if (dialaccount) {
            connectTo(QStringLiteral("T1"));
        } else {
            sim.http.queueBody(
                QStringLiteral("ipcheck"),
                server::encodedialuser(QStringLiteral("zrdial1")) +
                    QStringLiteral("5d3c9b27f0e61a48d9b5c03e7a2f6d19") +
                    server::encodedialpass(QStringLiteral("pw"), QStringLiteral("12345678")));
            connectTo(QStringLiteral("T2"));
        }
        ASSERT_EQ(session.dialaccount, dialaccount);
        ASSERT_EQ(sim.ras.phonebook().size(), 1u);
        sim.clock.advance(3000);
        EXPECT_TRUE(session.connected);
        EXPECT_EQ(status(), QStringLiteral("连接成功"));
        EXPECT_EQ(form->StatusBar1->currentMessage(), QStringLiteral("服务器连接成功"));
        EXPECT_TRUE(sim.ras.phonebook().empty()) << "the entry goes once the link is up";
        EXPECT_EQ(form->statuscheck->enabled(), !dialaccount);
        EXPECT_TRUE(form->rast12->enabled());
        EXPECT_TRUE(form->autodialstatus->enabled());
        EXPECT_FALSE(form->dialupstatus->enabled());
        EXPECT_FALSE(form->dialupcheck->enabled());
        EXPECT_FALSE(form->btn_speed->isEnabled());
        EXPECT_FALSE(form->vt1->isEnabled());
        EXPECT_FALSE(form->com_game->isEnabled());
        EXPECT_TRUE(form->btn_disconn->isEnabled());
        // The link stays up past the 13-second mark.
        sim.clock.advance(30000);
        EXPECT_TRUE(session.connected);
        disconnect->btn_disconnClick();
    }
}

TEST_F(DialMonitor_, WithoutRedialEveryTickRepeatsTheBalloon) {
    session.redialcheck = QStringLiteral("1");
    connectUp();
    sim.ras.setScript(SimRas::connectsAfter());
    const int handle = session.connhandle;
    // Seen by the link watch's own tick when the report is missed.
    monitor->linkEnded(handle + 100);
    sim.ras.dropLink(handle);
    EXPECT_EQ(sim.dialogs.balloons.size(), 1) << "the link report runs the check at once";
    EXPECT_EQ(status(), QStringLiteral("已断开连接"));
    EXPECT_TRUE(idle());
    EXPECT_EQ(ourRoutes(), 0u);
    const auto& b = sim.dialogs.balloons[0];
    EXPECT_EQ(b.title, QStringLiteral("断开提示"));
    EXPECT_EQ(b.text, QStringLiteral("已经断开连接"));
    EXPECT_EQ(b.timeoutMs, 10000);
    EXPECT_EQ(b.icon, MsgIcon::Information);
    sim.clock.advance(60000);
    EXPECT_EQ(sim.dialogs.balloons.size(), 4) << "one more at every 20 s tick";
    EXPECT_EQ(session.redialcount, 0);
    disconnect->btn_disconnClick();
    sim.clock.advance(60000);
    EXPECT_EQ(sim.dialogs.balloons.size(), 4);
}

TEST_F(DialMonitor_, RedialIntervals) {
    const struct {
        QString redialtime;
        int interval;
    } cases[] = {{"15", 15000}, {"abc", 20000}, {"", 20000}, {"0", 20000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.redialtime.toStdString());
        session.redialcheck = QStringLiteral("2");
        session.redialtime = c.redialtime;
        session.redialcount = 0;
        form->autodialstatus->setInterval(20000);
        connectUp();
        const qint64 dropped = sim.clock.elapsedMs();
        sim.ras.dropLink(session.connhandle);
        // The redial starts at once through the link report, not at the next tick.
        EXPECT_EQ(session.redialcount, 1);
        EXPECT_EQ(sim.clock.elapsedMs(), dropped);
        EXPECT_TRUE(connecting());
        EXPECT_EQ(form->autodialstatus->interval(), c.interval);
        sim.clock.advance(3000);
        EXPECT_TRUE(session.connected) << "the redial brought the link up";
        disconnect->btn_disconnClick();
    }
}

TEST_F(DialMonitor_, TheRedialTimerAloneRedialsWithinTwentySeconds) {
    session.redialcheck = QStringLiteral("2");
    session.redialtime = QStringLiteral("15");
    connectUp();
    sim.ras.onLinkEnded = nullptr;  // a dial-up service that never reports the end
    const qint64 dropped = sim.clock.elapsedMs();
    sim.ras.dropLink(session.connhandle);
    while (session.redialcount == 0 && sim.clock.elapsedMs() - dropped <= 20000)
        sim.clock.advance(100);
    EXPECT_EQ(session.redialcount, 1);
    EXPECT_LE(sim.clock.elapsedMs() - dropped, 20000);
    EXPECT_EQ(form->autodialstatus->interval(), 15000);
}

TEST_F(DialMonitor_, RedialsStopAtTheLimit) {
    session.redialcheck = QStringLiteral("2");
    session.redialcount = 198;
    connectUp();
    sim.ras.setScript(SimRas::staysDialling());  // redials never come up again
    sim.ras.dropLink(session.connhandle);
    EXPECT_EQ(session.redialcount, 199);
    EXPECT_TRUE(form->autodialstatus->enabled());
    sim.clock.advance(20000);  // the redial is still dialling: another drop, another redial
    EXPECT_EQ(session.redialcount, 200);
    EXPECT_FALSE(form->autodialstatus->enabled());
    sim.clock.advance(120000);
    EXPECT_EQ(session.redialcount, 200);
}

TEST_F(DialMonitor_, ARedialThatThrowsIsNotCounted) {
    session.redialcheck = QStringLiteral("2");
    DialMonitor throwing(session, sim.ras, sim.dialogs, *routes, *form, *disconnect,
                         [] { throw std::runtime_error("redial failed"); });
    throwing.wire();
    connectUp();
    sim.ras.dropLink(session.connhandle);
    EXPECT_EQ(session.redialcount, 0);
    EXPECT_EQ(sim.dialogs.balloons.size(), 1);
}

}  // namespace
}  // namespace zenrun::testing
