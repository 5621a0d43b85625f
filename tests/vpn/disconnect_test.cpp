// Disconnect and clearvpnentry.
#include "vpnrig.h"

namespace zenrun::testing {
namespace {

using Disconnect_ = VpnRig;

TEST_F(Disconnect_, WithNothingConnectedOnlyTextsAndLayoutChange) {
    session.langindex = 2;
    connectinglayout(*form);
    disconnect->btn_disconnClick();
    EXPECT_TRUE(idle());
    EXPECT_EQ(status(), QStringLiteral("Disconected"));
    EXPECT_EQ(form->StatusBar1->currentMessage(), QStringLiteral("Disconnected"));
    EXPECT_TRUE(form->com_game->isEnabled());
    EXPECT_TRUE(form->btn_zz->isEnabled());
    // With no entry name the deletion is tried and has no effect; nothing is hung up.
    EXPECT_TRUE(sim.ras.calls().filter(QStringLiteral("hangUp")).isEmpty());
    EXPECT_TRUE(sim.ras.calls().filter(QStringLiteral("connectEx")).isEmpty());
}

TEST_F(Disconnect_, EndsALinkAndPutsEverythingBack) {
    connectUp();
    const int handle = session.connhandle;
    form->autochangeline->setEnabled(true);
    disconnect->btn_disconnClick();
    EXPECT_TRUE(idle());
    EXPECT_EQ(status(), QStringLiteral("连接已经断开"));
    EXPECT_EQ(form->StatusBar1->currentMessage(), QStringLiteral("连接已断开"));
    EXPECT_EQ(ourRoutes(), 0u);
    EXPECT_FALSE(session.routesadded);
    EXPECT_EQ(session.connhandle, 0);
    EXPECT_TRUE(sim.ras.calls().contains(QStringLiteral("hangUp %1").arg(handle)));
    EXPECT_EQ(sim.ras.getConnection().handle, 0);
    for (Timer* t : {form->rast12.get(), form->statuscheck.get(), form->dialupcheck.get(),
                     form->autodialstatus.get(), form->autochangeline.get()})
        EXPECT_FALSE(t->enabled());
    sim.clock.advance(60000);
    EXPECT_TRUE(sim.dialogs.balloons.isEmpty());
}

TEST_F(Disconnect_, RotationsDisconnectKeepsItsTimer) {
    for (bool rotation : {true, false}) {
        connectUp();
        form->autochangeline->setEnabled(true);
        rotation ? disconnect->btn_disconn2Click() : disconnect->btn_disconnClick();
        EXPECT_EQ(form->autochangeline->enabled(), rotation);
        EXPECT_TRUE(idle());
        EXPECT_EQ(ourRoutes(), 0u);
    }
}

TEST_F(Disconnect_, DuringTheDialItHangsUpAndDeletesTheEntry) {
    sim.ras.setScript(SimRas::staysDialling());
    connectTo(QStringLiteral("T1"));
    const QString entry = session.entryname;
    ASSERT_EQ(sim.ras.phonebook().count(entry), 1u);
    disconnect->btn_disconnClick();
    EXPECT_EQ(sim.ras.phonebook().count(entry), 0u);
    EXPECT_TRUE(idle());
    // A late dial error still reaches the label through the 1 s timer, which stays on.
    EXPECT_TRUE(form->dialupstatus->enabled());
}

TEST_F(Disconnect_, AnUnrelatedFirstConnectionIsLeftAlone) {
    // Another program's dial, listed first.
    sim.ras.pppDefault();
    sim.ras.entry().phoneNumber = QStringLiteral("10.200.0.1");
    ASSERT_EQ(sim.ras.putAllEntryProps(QStringLiteral("other")), 0);
    sim.ras.setEntryName(QStringLiteral("other"));
    ASSERT_EQ(sim.ras.getDialParams(), 0);
    int other = 0;
    ASSERT_EQ(sim.ras.connectEx(other), 0);
    sim.clock.advance(3000);

    sim.ras.setScript(SimRas::staysDialling());
    connectTo(QStringLiteral("T1"));
    sim.ras.clearCalls();
    disconnect->btn_disconnClick();
    EXPECT_FALSE(sim.ras.calls().contains(QStringLiteral("hangUp %1").arg(other)));
    EXPECT_FALSE(sim.ras.connection(other)->ended);
    EXPECT_EQ(sim.ras.phonebook().count(QStringLiteral("other")), 1u);
}

TEST_F(Disconnect_, ClearvpnentryHangsUpTheFirstConnectionOfOurEntryAndRetriesTheDeletion) {
    // Our entry dialled without the handle being kept (a crash between the two).
    connectTo(QStringLiteral("T1"));
    const int handle = session.connhandle;
    session.connhandle = 0;
    sim.ras.failNextDelete(5);
    sim.ras.clearCalls();
    disconnect->clearvpnentry();
    EXPECT_EQ(sim.ras.calls(),
              (QStringList{QStringLiteral("hangUp %1").arg(handle),
                           QStringLiteral("deletePhonebook ") + session.entryname,
                           QStringLiteral("deletePhonebook ") + session.entryname}));
    EXPECT_TRUE(sim.ras.phonebook().empty());
}

TEST_F(Disconnect_, AHangUpThatNeverEndsCostsThreeSecondsAndEventsGoOn) {
    connectUp();
    sim.ras.setHangUpIgnored(true);
    int ticks = 0;
    auto probe = sim.clock.createTimer(100);
    probe->setHandler([&] { ++ticks; });
    probe->setEnabled(true);
    const qint64 before = sim.clock.elapsedMs();
    disconnect->btn_disconnClick();
    const qint64 took = sim.clock.elapsedMs() - before;
    EXPECT_GE(took, 3000);
    EXPECT_LE(took, 3100 * 2) << "each of the two hang-ups gives up after 3 s";
    EXPECT_GE(ticks, 29) << "timers kept firing during the wait";
    EXPECT_TRUE(idle());
}

}  // namespace
}  // namespace zenrun::testing
