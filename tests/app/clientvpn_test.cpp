// The connection's handlers as the assembled client wires them: buttons, tray and popup
// items, the L2TP menu item, the radio buttons, the timers and the exit path.
#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "linefixture.h"
#include "vpn/connect.h"
#include "vpn/disconnect.h"
#include "vpn/repair.h"

namespace zenrun::testing {
namespace {

struct ClientVpn : ClientFixture {
    void SetUp() override {
        start();
        ASSERT_EQ(form().IPAddrTxt->currentText(), QStringLiteral("上海01"));
    }
    QString status() { return form().statuslabel->text(); }
};

TEST_F(ClientVpn, ButtonsAndTrayItemsConnectAndDisconnect) {
    form().btn_conn->click();
    EXPECT_FALSE(form().btn_conn->isEnabled());
    EXPECT_TRUE(form().dialupstatus->enabled());
    sim.clock.advance(3000);
    EXPECT_TRUE(session.connected);
    EXPECT_EQ(status(), QStringLiteral("连接成功"));
    EXPECT_TRUE(form().autodialstatus->enabled());
    form().N6->trigger();
    EXPECT_FALSE(session.connected);
    EXPECT_EQ(status(), QStringLiteral("连接已经断开"));
    EXPECT_TRUE(form().btn_conn->isEnabled());

    form().N5->trigger();
    sim.clock.advance(3000);
    EXPECT_TRUE(session.connected);
    form().btn_disconn->click();
    EXPECT_FALSE(session.connected);

    view().N18->trigger();  // the line list's "启动连接"
    sim.clock.advance(3000);
    ASSERT_TRUE(session.connected)
        << status().toStdString() << " " << sim.ras.calls().join(',').toStdString();
    EXPECT_EQ(sim.ras.connection(session.connhandle)->server, QStringLiteral("10.1.0.1"));
}

TEST_F(ClientVpn, RotationsEntryPointsAreTheHiddenButtonAndTheLogicsMethods) {
    session.aclcheck = QStringLiteral("2");
    session.acltime = QStringLiteral("60");
    form().btn_conn2->click();
    EXPECT_TRUE(form().dialupstatus->enabled());
    EXPECT_FALSE(form().autochangeline->enabled());
    sim.clock.advance(3000);
    EXPECT_TRUE(session.connected);
    form().autochangeline->setEnabled(true);
    app->disconnector().btn_disconn2Click();
    EXPECT_TRUE(form().autochangeline->enabled());
    app->connector().btn_connClick();
    EXPECT_EQ(form().autochangeline->interval(), 70000);
}

TEST_F(ClientVpn, ProtocolButtonsAndTheForcedL2tpItem) {
    EXPECT_TRUE(sim.registry.keyExists(Hive::LocalMachine, kRasParametersKey))
        << "created with the dial-up components where the L2TP daemon is installed";
    form().rb_lp2p->click();
    EXPECT_EQ(form().protocollabel->text(), QStringLiteral("连接方式:L2TP"));
    form().rb_pptp->click();
    EXPECT_EQ(form().protocollabel->text(), QStringLiteral("连接方式:自动"));
    sim.dialogs.queueAnswer(MsgAnswer::No);
    form().L2TPQ1->trigger();
    ASSERT_EQ(sim.dialogs.boxes.size(), 1);
    EXPECT_EQ(sim.dialogs.boxes[0].text, QStringLiteral("确定要强制生效L2TP的设置吗？"));
}

TEST_F(ClientVpn, ClosingDuringTheRepairsWaitEndsItAtOnce) {
    sim.services.addProcess(41, QStringLiteral("xl2tpd"), sim.services.dialUpHost().marker);
    auto closer = sim.clock.createTimer(3000);
    closer->setHandler([this] { form().close(); });
    closer->setEnabled(true);
    const qint64 before = sim.clock.elapsedMs();
    sim.dialogs.queueAnswer(MsgAnswer::Yes);
    form().L2TPQ1->trigger();
    EXPECT_LE(sim.clock.elapsedMs() - before, 3100) << "not the full 11 s";
    EXPECT_TRUE(app->shell().closing());
}

TEST_F(ClientVpn, ExitWhileConnectedDisconnectsAndHangsUp) {
    session.routesadded = false;
    form().btn_conn->click();
    sim.clock.advance(3000);
    ASSERT_TRUE(session.connected);
    const int handle = session.connhandle;
    form().N7->trigger();
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(sim.ras.calls().contains(QStringLiteral("hangUp %1").arg(handle)));
    EXPECT_EQ(sim.ras.getConnection().handle, 0);
    EXPECT_FALSE(session.routesadded);
    EXPECT_TRUE(app->shell().closing());
}

}  // namespace
}  // namespace zenrun::testing
