#include "platform/sim/simras.h"

#include <gtest/gtest.h>

#include "platform/sim/simadapterdns.h"
#include "platform/sim/simclock.h"

using namespace zenrun;

namespace {

struct SimRasTest : ::testing::Test {
    SimClock clock;
    SimRas ras{clock};

    // Writes an entry for `server` with credentials and starts its dial.
    int dial(const QString& name, const QString& server) {
        ras.pppDefault();
        ras.entry().phoneNumber = server;
        EXPECT_EQ(ras.putAllEntryProps(name), 0);
        ras.setDialCredentials(QStringLiteral("alice"), QStringLiteral("pw"));
        EXPECT_EQ(ras.putDialProps(name), 0);
        ras.setEntryName(name);
        EXPECT_EQ(ras.getDialParams(), 0);
        int handle = 0;
        EXPECT_EQ(ras.connectEx(handle), 0);
        EXPECT_NE(handle, 0);
        return handle;
    }
};

TEST_F(SimRasTest, DialFollowsItsScriptAndTheEntryCanGoWhileTheLinkStays) {
    const int h = dial(QStringLiteral("1211"), QStringLiteral("10.1.0.1"));
    EXPECT_EQ(ras.dialUser(), "alice");
    clock.advance(1999);
    EXPECT_LT(ras.connectState(), kRasConnected);
    clock.advance(1);
    EXPECT_EQ(ras.connectState(), kRasConnected);
    ASSERT_TRUE(ras.ipProjection(h));
    EXPECT_EQ(ras.deletePhonebook(), 0);
    EXPECT_TRUE(ras.entryName().isEmpty());
    EXPECT_EQ(ras.validateName(QStringLiteral("1211")), 0);
    ras.currentStatusEx(h);
    EXPECT_EQ(ras.connectState(), kRasConnected);
    EXPECT_EQ(ras.getConnection().handle, h);
}

TEST_F(SimRasTest, FailuresDropsAndQueriesOfDeadHandles) {
    ras.setScriptFor(QStringLiteral("10.1.0.6"), SimRas::failsWith(691));
    const int failed = dial(QStringLiteral("1"), QStringLiteral("10.1.0.6"));
    clock.advance(1500);
    EXPECT_EQ(ras.connectState(), 691);
    ras.currentStatusEx(failed);
    EXPECT_EQ(ras.connectState(), kRasQueryFailed);
    ras.currentStatusEx(0);
    EXPECT_EQ(ras.connectState(), kRasQueryFailed);

    const int h = dial(QStringLiteral("2"), QStringLiteral("10.1.0.1"));
    clock.advance(2000);
    int ended = 0;
    ras.onLinkEnded = [&](int handle) { ended = handle; };
    ras.dropLink(h);
    EXPECT_EQ(ended, h);
    ras.currentStatusEx(h);
    EXPECT_EQ(ras.connectState(), kRasQueryFailed);
    EXPECT_FALSE(ras.ipProjection(h));

    ras.failNextConnect(633, QStringLiteral("no port"));
    ras.setEntryName(QStringLiteral("2"));
    int none = 0;
    EXPECT_EQ(ras.connectEx(none), 633);
    EXPECT_EQ(ras.statusStr(), "no port");
    EXPECT_EQ(none, 0);
}

TEST_F(SimRasTest, HangUpPollsUntilDisconnectedOrTimeOut) {
    const int h = dial(QStringLiteral("3"), QStringLiteral("10.1.0.1"));
    clock.advance(2000);
    const qint64 before = clock.elapsedMs();
    ras.disconnectEx(h);
    EXPECT_EQ(clock.elapsedMs(), before);  // gone at the first poll

    const int stuck = dial(QStringLiteral("4"), QStringLiteral("10.1.0.1"));
    clock.advance(2000);
    ras.setHangUpIgnored(true);
    const qint64 start = clock.elapsedMs();
    ras.disconnectEx(stuck, 3000, 50);
    EXPECT_EQ(clock.elapsedMs() - start, 3000);
}

TEST_F(SimRasTest, CountersAre64BitAndResetPerLink) {
    const int h = dial(QStringLiteral("5"), QStringLiteral("10.1.0.1"));
    clock.advance(2000);
    ras.setTraffic(h, 5'000'000'000ULL, 7);
    ras.watch(2, h);
    ras.refreshCounters();
    EXPECT_EQ(ras.bytesXmited(), 5'000'000'000ULL);
    ras.resetPerfStats();
    EXPECT_EQ(ras.bytesRcved(), 0u);
    ras.addTraffic(h, 10, 20);
    ras.refreshCounters();
    EXPECT_EQ(ras.bytesXmited(), 10u);
    EXPECT_EQ(ras.bytesRcved(), 20u);
    // A new link after a reset counts from its own start.
    const int next = dial(QStringLiteral("6"), QStringLiteral("10.1.0.1"));
    clock.advance(2000);
    ras.setTraffic(next, 100, 200);
    ras.watch(2, next);
    ras.refreshCounters();
    EXPECT_EQ(ras.bytesXmited(), 100u);
}

}  // namespace

namespace {
// The simulated adapters follow the links: a tunnel adapter exists exactly while a link is
// up, carries the link's address, and a new link does not inherit the old one's servers.
TEST_F(SimRasTest, SimulatedAdaptersShowTheTunnelWhileTheLinkIsUp) {
    SimAdapterDns dns;
    dns.setAdapters({{QStringLiteral("eth0"), 2, QStringLiteral("192.168.1.1"),
                      {QStringLiteral("192.168.1.100")}}});
    dns.followLinks(ras);
    auto names = [&] {
        QStringList out;
        for (const NetAdapter& a : dns.adapters()) out << a.name;
        return out;
    };
    const int h = dial(QStringLiteral("1"), QStringLiteral("10.1.0.1"));
    EXPECT_EQ(names(), QStringList{QStringLiteral("eth0")}) << "not before the link is up";
    clock.advance(2000);
    ASSERT_EQ(ras.connectState(), kRasConnected);
    const auto p = ras.ipProjection(h);
    ASSERT_TRUE(p);
    const std::vector<NetAdapter> up = dns.adapters();
    ASSERT_EQ(up.size(), 2u);
    EXPECT_EQ(up[1].name, p->interfaceName);
    EXPECT_EQ(up[1].addresses, QStringList{p->clientAddress});
    dns.setNameServers(p->interfaceName, {QStringLiteral("10.8.0.53")});
    EXPECT_EQ(dns.nameServers(p->interfaceName), QStringList{QStringLiteral("10.8.0.53")});

    ras.disconnectEx(h);
    EXPECT_EQ(names(), QStringList{QStringLiteral("eth0")});
    EXPECT_THROW(dns.setNameServers(p->interfaceName, {QStringLiteral("10.8.0.53")}), DnsError);
    dial(QStringLiteral("2"), QStringLiteral("10.1.0.1"));
    clock.advance(2000);
    EXPECT_EQ(names().size(), 2);
    EXPECT_TRUE(dns.nameServers(p->interfaceName).isEmpty());
}
}  // namespace
