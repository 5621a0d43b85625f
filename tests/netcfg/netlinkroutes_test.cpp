// The route logic on the real routing table of a private network namespace.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/session.h"
#include "netcfg/routejournal.h"
#include "netcfg/routes.h"
#include "testnetns.h"

namespace zenrun {
namespace {

using zenrun::testing::TestNetns;

const QString kServer = QStringLiteral("10.250.0.9");

struct NetnsRoutesTest : ::testing::Test {
    TestNetns ns;
    std::unique_ptr<NetlinkIpHelper> ip;
    Session session;
    QComboBox routetype, com_game;
    QPushButton sButton1, sButton2;
    QTemporaryDir dir;
    std::unique_ptr<Routes> routes;

    void SetUp() override {
        if (!ns.unusable().isEmpty()) GTEST_SKIP() << ns.unusable().toStdString();
        ip = ns.openIpHelper();
        ASSERT_TRUE(ip) << "cannot open netlink inside " << ns.name().toStdString();
        session.serverhostip = kServer;
        routetype.addItem(QStringLiteral("全局加速"));
        routes = makeRoutes();
    }
    std::unique_ptr<Routes> makeRoutes() {
        return std::make_unique<Routes>(
            session, *ip, Routes::Controls{&routetype, &com_game, &sButton1, &sButton2},
            journalPath());
    }
    QString journalPath() const { return dir.path() + QStringLiteral("/routes.journal"); }
    QString table() { return ns.show({"-4", "route", "show", "table", "all"}); }
    QString server() { return ns.show({"route", "show", kServer}).trimmed(); }
};

TEST_F(NetnsRoutesTest, GlobalModeRoutesTheServerThroughTheGatewayAndRemovesIt) {
    for (const bool neighbourKnown : {false, true}) {
        SCOPED_TRACE(neighbourKnown ? "gateway in the neighbour table" : "gateway found by lookup");
        if (neighbourKnown) {
            ASSERT_TRUE(ns.in({"neigh", "add", TestNetns::kGateway, "lladdr", "02:00:00:00:00:01",
                               "dev", "zr0", "nud", "permanent"}));
        }
        const QString before = table();
        routes->routetypeChange();
        routes->addroutesonconnect();
        EXPECT_TRUE(session.routesadded);
        EXPECT_EQ(server(), kServer + " via 10.200.0.254 dev zr0 proto 231 metric 100");
        routes->delroutesonteardown();
        EXPECT_FALSE(session.routesadded);
        EXPECT_EQ(server(), QString());
        EXPECT_EQ(table(), before);
    }
}

TEST_F(NetnsRoutesTest, TwoThousandNetworksGoInAndComeOutLeavingTheTableAsBefore) {
    QString list = QStringLiteral("[海外加速]\n");
    for (int i = 0; i < kRouterCount; ++i)
        list +=
            QStringLiteral("r%1=10.%2.%3.0|255.255.255.0\n").arg(i).arg(100 + i / 250).arg(i % 250);
    session.routeini = IniDocument::parse(list);
    fillroutetype(routetype, session.routeini);
    routetype.insertItem(0, QStringLiteral("全局加速"));
    routetype.setCurrentIndex(1);
    routes->routetypeChange();

    const QString before = table();
    routes->addroutesonconnect();
    EXPECT_EQ(routes->addedroutes().size(), static_cast<std::size_t>(kRouterCount));
    const QString ours = ns.show({"route", "show", "proto", "231"});
    EXPECT_EQ(ours.count(QLatin1Char('\n')), kRouterCount);
    EXPECT_TRUE(ours.contains("10.107.249.0/24 via 10.200.0.254 dev zr0 metric 100"))
        << "last network";
    routes->delroutesonteardown();
    EXPECT_EQ(table(), before);
    EXPECT_FALSE(QFile::exists(journalPath()));
}

TEST_F(NetnsRoutesTest, RouteTheSystemAlreadyHadSurvives) {
    struct Case {
        const char* what;
        QStringList existing;  // "ip route add" arguments
        bool weAdd;
    } cases[] = {
        {"another metric", {kServer, "via", TestNetns::kGateway, "dev", "zr0"}, true},
        {"the very route we would add",
         {kServer, "via", TestNetns::kGateway, "dev", "zr0", "metric", "100"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(ns.in(QStringList{"route", "add"} + c.existing));
        const QString before = server();
        routes->routetypeChange();
        routes->addroutesonconnect();
        EXPECT_EQ(routes->addedroutes().size(), c.weAdd ? 1u : 0u);
        routes->delroutesonteardown();
        EXPECT_EQ(server(), before);
        ASSERT_TRUE(ns.in(QStringList{"route", "del"} + c.existing));
    }
}

TEST_F(NetnsRoutesTest, RoutesOfAKilledRunAreRemovedAtTheNextStart) {
    QString out;
    ns.ip({"netns", "exec", ns.name(), ROUTES_KILLED_HELPER, journalPath(), kServer}, &out);
    ASSERT_EQ(server(), kServer + " via 10.200.0.254 dev zr0 proto 231 metric 100")
        << "the killed run should have left its route";
    ASSERT_EQ(RouteJournal(journalPath()).read().size(), 1u);

    routes = makeRoutes();  // the next start
    routes->clearleftoverroutes();
    EXPECT_EQ(server(), QString());
    EXPECT_FALSE(QFile::exists(journalPath()));
}

}  // namespace
}  // namespace zenrun
