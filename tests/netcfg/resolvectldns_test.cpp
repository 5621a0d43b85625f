// Per-link servers of systemd-resolved, against a stand-in `resolvectl` put first on PATH.
#include "platform/linux/resolvectldns.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace zenrun;

namespace {

const char kStandIn[] = R"(#!/bin/sh
line=""
for a in "$@"; do line="$line[$a]"; done
echo "$line" >> "$RESOLVECTL_LOG"
case "$*" in
  "--no-pager dns ppp0") echo "Link 9 (ppp0): 10.8.0.1 1.1.1.1" ;;
  "--no-pager dns ppp1") echo "resolvectl: Failed to resolve interface" >&2; exit 1 ;;
  "--no-pager dns "*|"--no-pager domain "*|"--no-pager revert "*) ;;
  *) exit 2 ;;
esac
)";

struct ResolvectlFixture : ::testing::Test {
    QTemporaryDir dir;
    QString log = dir.filePath(QStringLiteral("calls"));
    QByteArray savedPath = qgetenv("PATH");
    ResolvectlDns dns{[] { return std::vector<NetAdapter>{}; }};

    void SetUp() override {
        QFile f(dir.filePath(QStringLiteral("resolvectl")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kStandIn);
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + savedPath);
        qputenv("RESOLVECTL_LOG", QFile::encodeName(log));
    }
    void TearDown() override { qputenv("PATH", savedPath); }
    QStringList calls() const {
        QFile f(log);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

TEST_F(ResolvectlFixture, SetsTheLinksServersForEveryDomainAndRevertsThem) {
    dns.setNameServers(QStringLiteral("ppp0"),
                       {QStringLiteral("8.8.8.8"), QStringLiteral("8.8.4.4")});
    dns.setNameServers(QStringLiteral("ppp0"), {});
    EXPECT_EQ(calls(),
              (QStringList{"[--no-pager][dns][ppp0][8.8.8.8][8.8.4.4]",
                           "[--no-pager][domain][ppp0][~.]", "[--no-pager][revert][ppp0]"}));
}

TEST_F(ResolvectlFixture, ReadsTheLinksServersAndHasNoLease) {
    EXPECT_EQ(dns.nameServers(QStringLiteral("ppp0")), (QStringList{"10.8.0.1", "1.1.1.1"}));
    EXPECT_TRUE(dns.leaseNameServers(QStringLiteral("ppp0")).isEmpty());
    EXPECT_THROW(dns.nameServers(QStringLiteral("ppp1")), DnsError);
}

TEST_F(ResolvectlFixture, RefusesNonAddressesAndOptionLikeNamesBeforeAnyCall) {
    EXPECT_THROW(dns.setNameServers(QStringLiteral("ppp0"), {QStringLiteral("--set=1")}), DnsError);
    EXPECT_THROW(dns.setNameServers(QStringLiteral("-h"), {QStringLiteral("8.8.8.8")}), DnsError);
    EXPECT_TRUE(calls().isEmpty());
}

}  // namespace
