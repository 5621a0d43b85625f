// The NetworkManager DNS service against a stand-in `nmcli` put first on PATH: the exact
// calls it makes, and how it reads the answers.
#include "platform/linux/nmclidns.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/sim/simadapterdns.h"

using namespace zenrun;

namespace {

const QString kUuid = QStringLiteral("0b4a0c4e-5a7b-4f2e-9a61-3c1d2e3f4a5b");

// Records each call as one line of bracketed arguments and answers like nmcli 1.4x does.
const char kStandIn[] = R"(#!/bin/sh
line=""
for a in "$@"; do line="$line[$a]"; done
echo "$line" >> "$NMCLI_LOG"
[ -n "$NMCLI_FAIL" ] && [ "$*" = "$NMCLI_FAIL" ] && exit 8
case "$*" in
  "-t -f RUNNING general") echo running ;;
  "-t -f DEVICE,UUID connection show --active")
    echo "eth0:0b4a0c4e-5a7b-4f2e-9a61-3c1d2e3f4a5b"
    echo "lo:9d0e1f2a-3b4c-4d5e-8f60-718293a4b5c6" ;;
  "-g ipv4.dns connection show uuid 0b4a0c4e-5a7b-4f2e-9a61-3c1d2e3f4a5b") echo "$NMCLI_DNS" ;;
  "-t -f DHCP4.OPTION device show eth0")
    echo "DHCP4.OPTION[1]:dhcp_lease_time = 86400"
    echo "DHCP4.OPTION[2]:domain_name_servers = 192.168.1.1 192.168.1.2"
    echo "DHCP4.OPTION[3]:routers = 192.168.1.1" ;;
  "connection modify "*|"device reapply "*) ;;
  *) exit 2 ;;
esac
)";

struct NmcliFixture : ::testing::Test {
    QTemporaryDir dir;
    QString log = dir.filePath(QStringLiteral("calls"));
    QByteArray savedPath = qgetenv("PATH");
    SimAdapterDns* unowned = nullptr;
    std::unique_ptr<NmcliDns> dns;

    void SetUp() override {
        QFile f(dir.filePath(QStringLiteral("nmcli")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kStandIn);
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + savedPath);
        qputenv("NMCLI_LOG", QFile::encodeName(log));
        qputenv("NMCLI_DNS", "1.1.1.1,1.0.0.1");
        qunsetenv("NMCLI_FAIL");
        auto sim = std::make_unique<SimAdapterDns>();
        sim->setAdapters({{QStringLiteral("ppp0"), 9, {}, {QStringLiteral("10.8.0.3")}}});
        unowned = sim.get();
        dns = std::make_unique<NmcliDns>([] { return std::vector<NetAdapter>{}; }, std::move(sim));
    }
    void TearDown() override {
        qputenv("PATH", savedPath);
        qunsetenv("NMCLI_FAIL");
    }
    QStringList calls() const {
        QFile f(log);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

const QString kActive = QStringLiteral("[-t][-f][DEVICE,UUID][connection][show][--active]");

TEST_F(NmcliFixture, SeesThatNetworkManagerRuns) {
    EXPECT_TRUE(NmcliDns::running());
    EXPECT_EQ(calls(), QStringList{"[-t][-f][RUNNING][general]"});
}

TEST_F(NmcliFixture, ReadsTheConnectionsListAndTheLeasesServers) {
    EXPECT_EQ(dns->nameServers(QStringLiteral("eth0")), (QStringList{"1.1.1.1", "1.0.0.1"}));
    EXPECT_EQ(dns->leaseNameServers(QStringLiteral("eth0")),
              (QStringList{"192.168.1.1", "192.168.1.2"}));
    EXPECT_EQ(calls(),
              (QStringList{kActive, "[-g][ipv4.dns][connection][show][uuid][" + kUuid + "]",
                           kActive, "[-t][-f][DHCP4.OPTION][device][show][eth0]"}));
    qputenv("NMCLI_DNS", "");
    EXPECT_TRUE(dns->nameServers(QStringLiteral("eth0")).isEmpty());
}

TEST_F(NmcliFixture, WritesTheListIntoTheConnectionAndReappliesIt) {
    dns->setNameServers(QStringLiteral("eth0"),
                        {QStringLiteral("8.8.8.8"), QStringLiteral("8.8.4.4")});
    dns->setNameServers(QStringLiteral("eth0"), {});
    EXPECT_EQ(calls(), (QStringList{kActive,
                                    "[connection][modify][uuid][" + kUuid +
                                        "][ipv4.dns][8.8.8.8,8.8.4.4][ipv4.ignore-auto-dns][yes]",
                                    "[device][reapply][eth0]", kActive,
                                    "[connection][modify][uuid][" + kUuid +
                                        "][ipv4.dns][][ipv4.ignore-auto-dns][no]",
                                    "[device][reapply][eth0]"}));
}

TEST_F(NmcliFixture, ALinkNetworkManagerDoesNotOwnGoesToTheFallback) {
    dns->setNameServers(QStringLiteral("ppp0"), {QStringLiteral("9.9.9.9")});
    EXPECT_EQ(calls(), QStringList{kActive});
    EXPECT_EQ(unowned->writes(),
              (QList<SimAdapterDns::Write>{{QStringLiteral("ppp0"), {QStringLiteral("9.9.9.9")}}}));
}

TEST_F(NmcliFixture, RefusesNonAddressesAndOptionLikeNamesBeforeAnyCall) {
    EXPECT_THROW(dns->setNameServers(QStringLiteral("eth0"), {QStringLiteral("8.8.8.8 --x")}),
                 DnsError);
    EXPECT_THROW(dns->setNameServers(QStringLiteral("--help"), {QStringLiteral("8.8.8.8")}),
                 DnsError);
    EXPECT_TRUE(calls().isEmpty());
}

TEST_F(NmcliFixture, AFailedChangeIsReported) {
    qputenv("NMCLI_FAIL",
            ("connection modify uuid " + kUuid + " ipv4.dns 8.8.8.8 ipv4.ignore-auto-dns yes")
                .toUtf8());
    EXPECT_THROW(dns->setNameServers(QStringLiteral("eth0"), {QStringLiteral("8.8.8.8")}),
                 DnsError);
    EXPECT_EQ(calls().size(), 2);  // no reapply after a refused change
}

}  // namespace
