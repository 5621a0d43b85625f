// The DNS servers of the local and the dial-up adapter, on the simulated adapter store.
#include "netcfg/dns.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "platform/sim/simplatform.h"

using namespace zenrun;

namespace {

const QString kGoogle = QStringLiteral("8.8.8.8,8.8.4.4");
const QStringList kGoogleList{QStringLiteral("8.8.8.8"), QStringLiteral("8.8.4.4")};

struct DnsFixture : ::testing::Test {
    SimPlatform sim;
    Session session;
    Tmyrouters routerlist = Tmyrouters(kRouterCount);
    Dns dns{session, sim.dns, &sim.ras, routerlist};

    void SetUp() override {
        // Global mode at first show: entry 0 is the host route through the local gateway.
        routerlist[0] = {QStringLiteral("203.0.113.9"), QStringLiteral("255.255.255.255"),
                         QStringLiteral("192.168.1.1")};
        sim.dns.setAdapters({
            {QStringLiteral("lo"), 1, {}, {QStringLiteral("127.0.0.1")}},
            {QStringLiteral("wlan0"), 2, QStringLiteral("10.9.9.1"), {QStringLiteral("10.9.9.5")}},
            {QStringLiteral("eth0"),
             3,
             QStringLiteral("192.168.1.1"),
             {QStringLiteral("192.168.1.100")}},
        });
    }

    // Dials and brings a link up; returns the client address it was given.
    QString linkUp() {
        sim.ras.pppDefault();
        sim.ras.putAllEntryProps(QStringLiteral("zenrun"));
        sim.ras.setEntryName(QStringLiteral("zenrun"));
        sim.ras.getDialParams();
        int handle = 0;
        EXPECT_EQ(sim.ras.connectEx(handle), 0);
        sim.clock.advance(3000);
        session.connhandle = handle;
        const auto p = sim.ras.ipProjection(handle);
        EXPECT_TRUE(p.has_value());
        return p ? p->clientAddress : QString();
    }

    QList<SimAdapterDns::Write> writes() const { return sim.dns.writes(); }
};

TEST_F(DnsFixture, HandSetServersAreCapturedReplacedAndPutBack) {
    sim.dns.setHandSet(QStringLiteral("eth0"),
                       {QStringLiteral("1.1.1.1"), QStringLiteral("1.0.0.1")});
    sim.dns.setLease(QStringLiteral("eth0"), {QStringLiteral("192.168.1.1")});
    dns.getlocaldns();
    EXPECT_EQ(session.localdnsip, QStringLiteral("1.1.1.1,1.0.0.1"));
    EXPECT_EQ(session.localdnstype, QStringLiteral("2"));

    dns.applychoice(DnsChoice::Google, {});
    // No link: only the local adapter is written, and the change is still remembered.
    EXPECT_EQ(writes(), (QList<SimAdapterDns::Write>{{QStringLiteral("eth0"), kGoogleList}}));
    EXPECT_EQ(session.dnschanged, QStringLiteral("2"));
    EXPECT_EQ(sim.dns.nameServers(QStringLiteral("eth0")), kGoogleList);

    dns.applychoice(DnsChoice::Restore, {});
    EXPECT_EQ(sim.dns.nameServers(QStringLiteral("eth0")),
              QStringList({QStringLiteral("1.1.1.1"), QStringLiteral("1.0.0.1")}));
}

TEST_F(DnsFixture, LeaseServersAreCapturedAndRestoreHandsTheAdapterBackToTheLease) {
    sim.dns.setLease(QStringLiteral("eth0"), {QStringLiteral("192.168.1.1")});
    dns.getlocaldns();
    EXPECT_EQ(session.localdnsip, QStringLiteral("192.168.1.1"));
    EXPECT_EQ(session.localdnstype, QStringLiteral("3"));

    dns.applychoice(DnsChoice::OpenDns, {});
    sim.dns.clearWrites();
    dns.applychoice(DnsChoice::Restore, {});
    EXPECT_EQ(writes(), (QList<SimAdapterDns::Write>{{QStringLiteral("eth0"), {}}}));
}

TEST_F(DnsFixture, NoListsAtAllCaptureAnEmptyLeaseList) {
    dns.getlocaldns();
    EXPECT_EQ(session.localdnsip, QString());
    EXPECT_EQ(session.localdnstype, QStringLiteral("3"));
}

TEST_F(DnsFixture, RestoreBeforeAnyChangeDoesNothing) {
    sim.dns.setHandSet(QStringLiteral("eth0"), {QStringLiteral("1.1.1.1")});
    dns.getlocaldns();
    dns.applychoice(DnsChoice::Restore, {});
    EXPECT_TRUE(writes().isEmpty());
    EXPECT_TRUE(session.dnschanged.isEmpty());
}

TEST_F(DnsFixture, FixedChoicesWriteTheirServers) {
    const std::pair<DnsChoice, QStringList> rows[] = {
        {DnsChoice::Google, kGoogleList},
        {DnsChoice::OpenDns, {QStringLiteral("208.67.222.222"), QStringLiteral("208.67.220.220")}},
        {DnsChoice::Secure, {QStringLiteral("114.114.114.119"), QStringLiteral("114.114.115.119")}},
    };
    for (const auto& [choice, servers] : rows) {
        sim.dns.clearWrites();
        dns.applychoice(choice, {});
        EXPECT_EQ(writes(), (QList<SimAdapterDns::Write>{{QStringLiteral("eth0"), servers}}));
    }
    sim.dns.clearWrites();
    dns.applychoice(DnsChoice::Keep, {});
    EXPECT_TRUE(writes().isEmpty());
}

TEST_F(DnsFixture, TypedListsAreWrittenOnlyWhenEveryItemIsAnAddress) {
    dns.applychoice(DnsChoice::Custom, QStringLiteral("8.8.8.8, 8.8.4.4"));
    EXPECT_EQ(writes(), (QList<SimAdapterDns::Write>{{QStringLiteral("eth0"), kGoogleList}}));
    dns.applychoice(DnsChoice::Custom, QStringLiteral(" 9.9.9.9 "));
    EXPECT_EQ(writes().size(), 2);

    Session fresh;
    Dns other(fresh, sim.dns, &sim.ras, routerlist);
    sim.dns.clearWrites();
    for (const char* bad :
         {"", "8.8.8.8,", "8.8.8.8,,8.8.4.4", "1.2.3", "256.1.1.1", "8.8.8.8;1.1.1.1",
          "8.8.8.8\nnameserver 6.6.6.6", "aa,8.8.8.8", "08.8.8.8x", "dns.google"}) {
        other.setlocaldns(QString::fromLatin1(bad));
        other.setvpndns(QString::fromLatin1(bad));
        EXPECT_FALSE(parsednslist(QString::fromLatin1(bad))) << bad;
    }
    EXPECT_TRUE(writes().isEmpty());
    EXPECT_TRUE(fresh.dnschanged.isEmpty());
}

TEST_F(DnsFixture, WithoutRouteEntryZeroNothingHappens) {
    routerlist[0].destionation.clear();
    routerlist[1] = {QStringLiteral("10.0.0.0"), QStringLiteral("255.0.0.0"),
                     QStringLiteral("192.168.1.1")};
    sim.dns.setHandSet(QStringLiteral("eth0"), {QStringLiteral("1.1.1.1")});
    session.localdnsip = QStringLiteral("kept");
    dns.getlocaldns();
    dns.applychoice(DnsChoice::Google, {});
    EXPECT_EQ(session.localdnsip, QStringLiteral("kept"));
    EXPECT_TRUE(session.localdnstype.isEmpty());
    EXPECT_TRUE(session.dnschanged.isEmpty());
    EXPECT_TRUE(writes().isEmpty());
}

TEST_F(DnsFixture, NoAdapterBehindTheGatewayStillCountsAsAChange) {
    routerlist[0].gateway = QStringLiteral("172.16.0.1");
    dns.applychoice(DnsChoice::Google, {});
    EXPECT_TRUE(writes().isEmpty());
    EXPECT_EQ(session.dnschanged, QStringLiteral("2"));
}

// An adapter listed earlier whose address merely begins with the link's address is not the
// tunnel.
TEST_F(DnsFixture, TheDialUpAdapterHoldsExactlyTheLinksAddress) {
    const QString client = linkUp();
    ASSERT_FALSE(client.isEmpty());
    sim.dns.setAdapters({
        {QStringLiteral("tun9"), 4, {}, {client + QStringLiteral("2")}},
        {QStringLiteral("eth0"),
         3,
         QStringLiteral("192.168.1.1"),
         {QStringLiteral("192.168.1.100")}},
        {QStringLiteral("ppp0"), 7, {}, {client}},
    });
    dns.applychoice(DnsChoice::Google, {});
    EXPECT_EQ(writes(), (QList<SimAdapterDns::Write>{{QStringLiteral("eth0"), kGoogleList},
                                                     {QStringLiteral("ppp0"), kGoogleList}}));

    // Restoring touches the local adapter only.
    sim.dns.clearWrites();
    session.localdnstype = QStringLiteral("3");
    dns.applychoice(DnsChoice::Restore, {});
    EXPECT_EQ(writes(), (QList<SimAdapterDns::Write>{{QStringLiteral("eth0"), {}}}));
}

TEST_F(DnsFixture, FailuresAreSwallowedAndSkipTheRestOfThePair) {
    sim.dns.setFailing(true);
    EXPECT_NO_THROW(dns.applychoice(DnsChoice::Google, {}));
    EXPECT_TRUE(session.dnschanged.isEmpty());
    EXPECT_THROW(dns.getlocaldns(), DnsError);
}

}  // namespace
