// Session supervision as the assembled client wires it: the change-line hot key, and the
// timers of the traffic display, the status reports and the automatic line change.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>

#include "linefixture.h"
#include "platform/sim/simplatform.h"
#include "session/statusreport.h"

namespace zenrun {
namespace {

struct ClientSession : testing::ClientFixture {
    QStringList trace;

    void SetUp() override {
        start();
        LinkActions& a = app->linkActions();
        a.disconnect = [this] { trace << QStringLiteral("disconnect"); };
        a.disconnect2 = [this] { trace << QStringLiteral("disconnect2"); };
        a.reconnect2 = [this] {
            trace << QStringLiteral("reconnect2 ") + form().IPAddrTxt->currentText();
        };
    }
    // A link that is up, as connect and the dial monitor leave it.
    int linkUp() {
        Ras& ras = sim.ras;
        ras.pppDefault();
        ras.entry().phoneNumber = QStringLiteral("10.1.0.1");
        ras.putAllEntryProps(QStringLiteral("e1"));
        ras.putDialProps(QStringLiteral("e1"));
        ras.setEntryName(QStringLiteral("e1"));
        ras.getDialParams();
        int handle = 0;
        ras.connectEx(handle);
        session.connhandle = handle;
        session.conntime = toDayCount(sim.clock.now());
        sim.clock.advance(2000);
        return handle;
    }
};

TEST_F(ClientSession, TheHotKeyRunsTheOneClickLineChange) {
    ASSERT_FALSE(rows().isEmpty());
    session.shortcutkeycheck = QStringLiteral("2");
    ASSERT_TRUE(app->shell().SetHotKeyClick(0x75));  // F6
    view().setFocusedNode(view().lines().front());
    ASSERT_TRUE(sim.hotkeys.press(0x75));
    EXPECT_EQ(trace, QStringList({QStringLiteral("disconnect2"),
                                  QStringLiteral("reconnect2 ") + rows().at(1)}));
    EXPECT_TRUE(form().onechangetime->enabled());
    ASSERT_TRUE(sim.hotkeys.press(0x75));
    EXPECT_EQ(sim.dialogs.boxes.size(), 1);
    EXPECT_EQ(trace.size(), 2);
    sim.clock.advance(27000);
    EXPECT_FALSE(form().onechangetime->enabled());
}

TEST_F(ClientSession, TheSupervisionTimersAreWired) {
    const int handle = linkUp();
    sim.ras.setTraffic(handle, 2000, 3000);
    session.langindex = 2;
    form().rast12->setEnabled(true);
    sim.clock.advance(4000);
    EXPECT_EQ(form().datalabel->text(), QStringLiteral("Data:2KB/3KB  Time:00:00:06"));

    session.dialaccount = false;
    session.uniqueid = QStringLiteral("u1");
    form().statuscheck->setEnabled(true);
    sim.clock.advance(218000);
    ASSERT_FALSE(sim.http.requests.isEmpty());
    EXPECT_TRUE(sim.http.requests.back().url.endsWith(
        QStringLiteral("/vpnadmin/useradmin/statuscheckkiv11.php")));

    session.aclcheck = QStringLiteral("2");
    session.changenode = view().lines().front();
    form().autochangeline->setInterval(40000);
    form().autochangeline->setEnabled(true);
    trace.clear();
    sim.clock.advance(40000 + 3000);
    EXPECT_EQ(trace, QStringList({QStringLiteral("disconnect2"),
                                  QStringLiteral("reconnect2 ") + rows().at(1)}));
}

// With the connection's own connect and disconnect: a connected line is shown, rotated to
// the next line on the timer and at the hot key, and ended by the over-limit reply.
struct ClientConnected : testing::ClientFixture {
    void SetUp() override {
        start();
        view().setFocusedNode(view().lines().front());
        ASSERT_EQ(form().IPAddrTxt->currentText(), QStringLiteral("上海01"));
    }
    QString server() {
        const SimRas::Connection* c = sim.ras.connection(session.connhandle);
        return c && c->up && !c->ended ? c->server : QString();
    }
};

TEST_F(ClientConnected, ShownRotatedAndEndedThroughTheRealConnection) {
    session.langindex = 2;
    session.aclcheck = QStringLiteral("2");
    session.acltime = QStringLiteral("30");
    session.acldelcheck = QStringLiteral("1");
    const qint64 start = sim.clock.elapsedMs();
    form().btn_conn->click();
    sim.clock.advance(4000);
    ASSERT_TRUE(session.connected);
    EXPECT_EQ(form().datalabel->text(), QStringLiteral("Data:0KB/0KB  Time:00:00:04"));
    EXPECT_EQ(form().statuslabel->text(), QStringLiteral("Connected"));
    EXPECT_EQ(form().linelabel->text(), QStringLiteral("Line:上海01"));

    // The automatic change 40 s after Connect: the next line is up two seconds after its dial.
    sim.clock.advance(start + 40000 + 3000 + 3000 - sim.clock.elapsedMs());
    EXPECT_TRUE(session.connected);
    EXPECT_EQ(server(), QStringLiteral("10.1.0.2"));
    EXPECT_EQ(form().IPAddrTxt->currentText(), QStringLiteral("上海02"));
    EXPECT_TRUE(form().autochangeline->enabled());

    // The hot key moves on from the focused line.
    session.shortcutkeycheck = QStringLiteral("2");
    ASSERT_TRUE(app->shell().SetHotKeyClick(0x75));
    ASSERT_TRUE(sim.hotkeys.press(0x75));
    sim.clock.advance(2000);
    EXPECT_EQ(server(), QStringLiteral("10.1.0.3"));

    // The back-end refuses the session: Disconnect, then the reason.
    session.aclcheck = QStringLiteral("1");
    session.dialaccount = false;
    sim.http.queueBody(QStringLiteral("statuscheck"),
                       QString::fromLatin1(StatusReport::kOverLimitReply));
    const int handle = session.connhandle;
    form().statuscheck->setEnabled(true);
    sim.clock.advance(218000);
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(sim.ras.connection(handle)->ended);
    EXPECT_FALSE(form().autochangeline->enabled());
    EXPECT_EQ(form().statuslabel->text(), QStringLiteral("Disconnected"));
    ASSERT_FALSE(sim.dialogs.boxes.isEmpty());
    EXPECT_TRUE(sim.dialogs.boxes.back().text.startsWith(QStringLiteral("Your account")));
}

// The main window while a link is up (scripts/screenshot --session): traffic, online time,
// status and line filled by the display's tick.
TEST_F(ClientSession, ScreenshotWhileConnected) {
    form().IPAddrTxt->setCurrentIndex(0);
    view().setFocusedNode(view().lines().front());
    const int handle = linkUp();
    form().rast12->setEnabled(true);
    sim.ras.setTraffic(handle, 1843211, 27364502);
    sim.clock.advance(1256 * 4000);  // a tick 01:23:46 after the dial started
    EXPECT_TRUE(form().datalabel->text().endsWith(QStringLiteral("01:23:46")))
        << form().datalabel->text().toStdString();
    QApplication::processEvents();
    const QString dir =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../../screenshots");
    QDir().mkpath(dir);
    EXPECT_TRUE(form().grab().save(dir + QStringLiteral("/session.png")));
}

}  // namespace
}  // namespace zenrun
