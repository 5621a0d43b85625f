// Dials through the stand-in pppd (and xl2tpd) inside a network namespace the test creates: the
// stand-in makes a TUN interface named like a ppp link there, and the service follows it through
// netlink exactly as it follows a real link. Needs root; skips otherwise.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFileInfo>

#include "netcfg/testnetns.h"
#include "platform/linux/ourprocesses.h"
#include "pppdfixture.h"

namespace zenrun {
namespace {

using testing::PppdFixture;
using testing::InsideNetns;
using testing::ScopedEnv;
using testing::TestNetns;

struct PppdNetns : PppdFixture {
    std::unique_ptr<TestNetns> ns;
    std::unique_ptr<InsideNetns> inside;
    std::vector<int> ended;

    void SetUp() override {
        ns = std::make_unique<TestNetns>();
        if (!ns->unusable().isEmpty()) GTEST_SKIP() << ns->unusable().toStdString();
        inside = std::make_unique<InsideNetns>(ns->name());
        ASSERT_TRUE(inside->entered()) << "cannot enter " << ns->name().toStdString();
        PppdFixture::SetUp();
        setEnv("STANDIN_NETNS", ns->name());
        ras->onLinkEnded = [this](int h) { ended.push_back(h); };
    }
    void TearDown() override {
        PppdFixture::TearDown();
        inside.reset();
        ns.reset();
    }
    QString link(const QString& dev) {
        return ns->show({"-o", "link", "show", "dev", dev}).trimmed();
    }
    // Datagrams to the peer: out through the link, answered back by the stand-in.
    void send(int count, int bytes) {
        const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ASSERT_GE(s, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(9);
        inet_pton(AF_INET, "10.64.0.1", &to.sin_addr);
        const std::vector<char> payload(static_cast<size_t>(bytes), 'z');
        for (int i = 0; i < count; ++i)
            ASSERT_GT(::sendto(s, payload.data(), payload.size(), 0,
                               reinterpret_cast<sockaddr*>(&to), sizeof to),
                      0);
        ::close(s);
    }
    // A link up and checked the way the dial timers and the status report see it.
    void expectUp(int handle, const QString& name) {
        ASSERT_TRUE(waitForState(kRasConnected)) << "state " << ras->connectState();
        ras->currentStatusEx(handle);
        EXPECT_EQ(ras->connectState(), kRasConnected);
        const auto ip = ras->ipProjection(handle);
        ASSERT_TRUE(ip);
        EXPECT_EQ(ip->clientAddress, QStringLiteral("10.64.0.2"));
        EXPECT_EQ(ip->serverAddress, QStringLiteral("10.64.0.1"));
        EXPECT_TRUE(ns->show({"-4", "-o", "addr", "show", "dev", ip->interfaceName})
                        .contains(QStringLiteral("inet 10.64.0.2 peer 10.64.0.1")));
        const Ras::Active active = ras->getConnection();
        EXPECT_EQ(active.entryName, name);
        EXPECT_EQ(active.handle, handle);
    }
    void hangUpWithin3s(int handle, const QString& ifname) {
        QElapsedTimer t;
        t.start();
        ras->disconnectEx(handle, 3000, 50);
        RecordProperty("hang_up_ms", static_cast<int>(t.elapsed()));
        EXPECT_LT(t.elapsed(), 3000);
        EXPECT_EQ(ras->connectState(), kRasQueryFailed);
        EXPECT_EQ(link(ifname), QString()) << "the interface is still there";
        ras->currentStatusEx(handle);
        EXPECT_EQ(ras->connectState(), kRasQueryFailed);
        EXPECT_EQ(ras->getConnection().handle, 0);
        clock.waitms(100);
        EXPECT_TRUE(ended.empty()) << "a hang-up is not a drop";
    }
};

TEST_F(PppdNetns, PptpDialComesUpCountsTrafficAndHangsUp) {
    const QString name = QStringLiteral("1211095512");
    ASSERT_EQ(writeEntry(name, QStringLiteral("127.0.0.9"), false, true), 0);
    const int handle = dial(name);
    ASSERT_NE(handle, 0);
    expectUp(handle, name);
    const QString ifname = ras->ipProjection(handle)->interfaceName;
    EXPECT_TRUE(ifname.startsWith(QStringLiteral("ppp")));

    const QStringList opts = recorded(record(), QStringLiteral("opt"));
    EXPECT_TRUE(opts.contains(QStringLiteral("/bin/true 127.0.0.9 --nolaunchpppd")));
    EXPECT_EQ(opts.value(opts.indexOf(QStringLiteral("password")) + 1), QStringLiteral("s3cret"));

    // The link's own counters, from zero at the reset.
    ras->watch(2, handle);
    ras->resetPerfStats();
    ras->refreshCounters();
    EXPECT_EQ(ras->bytesXmited(), 0u);
    send(10, 1000);
    ASSERT_TRUE(waitFor([&] {
        ras->refreshCounters();
        return ras->bytesXmited() >= 10000 && ras->bytesRcved() >= 10000;
    })) << ras->bytesXmited()
        << " sent, " << ras->bytesRcved() << " received";

    // The entry goes at link-up; the link stays.
    ras->setEntryName(name);
    EXPECT_EQ(ras->deletePhonebook(), 0);
    ras->currentStatusEx(handle);
    EXPECT_EQ(ras->connectState(), kRasConnected);

    hangUpWithin3s(handle, ifname);
    ras->refreshCounters();
    EXPECT_EQ(ras->bytesXmited(), 0u);
}

TEST_F(PppdNetns, L2tpDialGoesThroughOurOwnXl2tpdWhichStopsWithTheLastLink) {
    const QString name = QStringLiteral("1211095513");
    ASSERT_EQ(writeEntry(name, QStringLiteral("vpn.example.net"), true, false), 0);
    const int handle = dial(name);
    ASSERT_NE(handle, 0);
    expectUp(handle, name);
    const QString ifname = ras->ipProjection(handle)->interfaceName;

    const QStringList conf = recorded(xl2tpdRecord(), QStringLiteral("conf"));
    EXPECT_TRUE(conf.contains(QStringLiteral("lns = vpn.example.net")));
    EXPECT_TRUE(conf.contains(QStringLiteral("pppoptfile = ") + ras->peersPath(name)));
    EXPECT_TRUE(recorded(xl2tpdRecord(), QStringLiteral("argv"))
                    .contains(runDir() + QStringLiteral("/l2tp-control")));
    EXPECT_TRUE(QFileInfo::exists(runDir() + QStringLiteral("/xl2tpd.pid")));
    const QStringList args = recorded(record(), QStringLiteral("argv"));
    EXPECT_EQ(args.mid(1, 5),
              (QStringList{"passive", "nodetach", ":", "file", ras->peersPath(name)}));

    hangUpWithin3s(handle, ifname);
    EXPECT_TRUE(
        waitFor([&] { return !QFileInfo::exists(runDir() + QStringLiteral("/xl2tpd.pid")); }, 5000))
        << "xl2tpd outlived the last L2TP link";
    EXPECT_TRUE(QDir(runDir()).entryList(QDir::Files | QDir::System).isEmpty())
        << QDir(runDir()).entryList(QDir::Files | QDir::System).join(' ').toStdString();
}

TEST_F(PppdNetns, ADroppedLinkIsNotConnectedAndEndsOnce) {
    ScopedEnv dropAfter("STANDIN_DROP_MS", QStringLiteral("400"));
    for (const bool l2tp : {false, true}) {
        SCOPED_TRACE(l2tp ? "L2TP" : "PPTP");
        ended.clear();
        const QString name = l2tp ? QStringLiteral("31") : QStringLiteral("30");
        ASSERT_EQ(writeEntry(name, QStringLiteral("127.0.0.9"), l2tp, true), 0);
        const int handle = dial(name);
        ASSERT_NE(handle, 0);
        ASSERT_TRUE(waitForState(kRasConnected));
        ASSERT_TRUE(waitFor([&] { return !ended.empty(); })) << "the drop went unnoticed";
        clock.waitms(200);
        EXPECT_EQ(ended, std::vector<int>{handle});
        ras->currentStatusEx(handle);
        EXPECT_EQ(ras->connectState(), kRasQueryFailed);
        EXPECT_FALSE(ras->ipProjection(handle));
        EXPECT_EQ(ras->getConnection().handle, 0);
    }
}

TEST_F(PppdNetns, APppdThatIgnoresTheHangUpIsKilledAfterTheWait) {
    ScopedEnv stubborn("STANDIN_IGNORE_TERM", QStringLiteral("1"));
    ASSERT_EQ(writeEntry(QStringLiteral("40"), QStringLiteral("127.0.0.9"), false, false), 0);
    const int handle = dial(QStringLiteral("40"));
    ASSERT_TRUE(waitForState(kRasConnected));
    const QString ifname = ras->ipProjection(handle)->interfaceName;
    QElapsedTimer t;
    t.start();
    ras->disconnectEx(handle, 600, 50);
    EXPECT_GE(t.elapsed(), 600) << "it did not wait for pppd to go by itself";
    EXPECT_EQ(link(ifname), QString());
    EXPECT_FALSE(QFileInfo::exists(pidDir() + QStringLiteral("/ppp-zenrun-40.pid")));
    ras->currentStatusEx(handle);
    EXPECT_EQ(ras->connectState(), kRasQueryFailed);
    EXPECT_EQ(ras->getConnection().handle, 0);
}

// The hang-up is over once the interface has gone; pppd still has its own last steps to take.
// A dial right after it (a line change, a redial) must leave that pppd to finish them, not kill
// it on its way out with its pid file left behind.
TEST_F(PppdNetns, ADialRightAfterAHangUpLetsTheOldPppdFinish) {
    ScopedEnv linger("STANDIN_LINGER_MS", QStringLiteral("1500"));
    ASSERT_EQ(writeEntry(QStringLiteral("50"), QStringLiteral("127.0.0.9"), false, false), 0);
    const int first = dial(QStringLiteral("50"));
    ASSERT_TRUE(waitForState(kRasConnected));
    const QString pidFile = pidDir() + QStringLiteral("/ppp-zenrun-50.pid");
    const pid_t pid = procs::readPidFile(pidFile);
    ASSERT_GT(pid, 0);
    ras->disconnectEx(first, 3000, 50);
    ASSERT_TRUE(procs::alive(pid)) << "pppd ended before the hang-up returned: nothing to show";

    ASSERT_EQ(writeEntry(QStringLiteral("51"), QStringLiteral("127.0.0.9"), false, false), 0);
    const int second = dial(QStringLiteral("51"));
    ASSERT_NE(second, 0);
    EXPECT_TRUE(waitFor([&] { return !procs::alive(pid); }, 6000));
    EXPECT_FALSE(QFileInfo::exists(pidFile)) << "the first pppd was killed on its way out";
    ASSERT_TRUE(waitForState(kRasConnected));
    ras->disconnectEx(second, 3000, 50);
}

TEST_F(PppdNetns, TheDialShowsItsStepsBeforeTheLinkIsUp) {
    ScopedEnv slow("STANDIN_UP_MS", QStringLiteral("1500"));
    ASSERT_EQ(writeEntry(QStringLiteral("41"), QStringLiteral("127.0.0.9"), false, false), 0);
    const int handle = dial(QStringLiteral("41"));
    EXPECT_LT(ras->connectState(), kRasConnected);
    ASSERT_TRUE(waitForState(5)) << "state " << ras->connectState();  // interface there, not up
    EXPECT_FALSE(ras->ipProjection(handle));
    ras->currentStatusEx(handle);
    EXPECT_EQ(ras->connectState(), 5);
    EXPECT_TRUE(waitForState(kRasConnected));
}

}  // namespace
}  // namespace zenrun
