#include "netcfg/routes.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <cerrno>

#include "core/session.h"
#include "core/textutil.h"
#include "netcfg/routejournal.h"
#include "platform/sim/simiphelper.h"

namespace zenrun {
namespace {

std::uint32_t ip(const char* text) {
    return *parsedottedquad(QString::fromLatin1(text));
}

// A host behind 192.168.1.1 on interface 2, like a home network.
struct RoutesTest : testing::Test {
    Session session;
    SimIpHelper sim;
    QComboBox routetype, com_game;
    QPushButton sButton1, sButton2;
    QTemporaryDir dir;
    std::unique_ptr<Routes> routes;
    const Ipv4Route defaultRoute{0, 0, ip("192.168.1.1"), 2, 1, 3, 100};
    const Ipv4Route lanRoute{ip("192.168.1.0"), ip("255.255.255.0"), 0, 2, 1, 2, 100};

    void SetUp() override {
        sim.setRoutes({lanRoute, defaultRoute});
        session.serverhostip = QStringLiteral("203.0.113.7");
        routes = std::make_unique<Routes>(
            session, sim, Routes::Controls{&routetype, &com_game, &sButton1, &sButton2},
            journalPath());
        routes->wire();
    }
    QString journalPath() const { return dir.path() + QStringLiteral("/state/routes.journal"); }
    void loadList(const char* text) {
        session.routeini = IniDocument::parse(QString::fromUtf8(text));
    }

    // "index:destination/mask" for every filled entry.
    QStringList filled() const {
        QStringList out;
        for (std::size_t i = 0; i < routes->routerlist.size(); ++i) {
            const Tmyrouter& r = routes->routerlist[i];
            if (!r.destionation.isEmpty())
                out << QStringLiteral("%1:%2/%3").arg(i).arg(r.destionation, r.mask);
        }
        return out;
    }
    std::vector<Ipv4Route> ours() const {
        std::vector<Ipv4Route> out;
        for (const Ipv4Route& r : sim.routes())
            if (r.protocol == kZenrunRouteProtocol) out.push_back(r);
        return out;
    }
};

TEST_F(RoutesTest, ModesFollowSectionOrderAndItemZeroIsGlobal) {
    loadList(
        "[全局加速]\nx=9.9.9.0|255.255.255.0\n[海外加速]\na=1.0.0.0|255.0.0.0\nb=2.0.0.0|255.255.0."
        "0\n");
    fillroutetype(routetype, session.routeini);
    ASSERT_EQ(routetype.count(), 2);
    EXPECT_EQ(routetype.itemText(0), QStringLiteral("全局加速"));
    EXPECT_EQ(routetype.itemText(1), QStringLiteral("海外加速"));
    EXPECT_EQ(routetype.currentIndex(), 0);

    routetype.setCurrentIndex(1);
    emit routetype.activated(1);
    EXPECT_EQ(filled(), (QStringList{"0:1.0.0.0/255.0.0.0", "1:2.0.0.0/255.255.0.0"}));
    EXPECT_EQ(routes->routerlist[1].gateway, QStringLiteral("192.168.1.1"));

    routetype.setCurrentIndex(0);
    emit routetype.activated(0);
    EXPECT_EQ(filled(), QStringList{"0:203.0.113.7/255.255.255.255"});
    EXPECT_EQ(routes->routerlist[0].gateway, QStringLiteral("192.168.1.1"));
}

TEST_F(RoutesTest, EntriesKeepTheirKeyPosition) {
    struct Case {
        const char* section;
        QStringList expected;
    } cases[] = {
        {"a=1.0.0.0|255.0.0.0\nb=2.0.0.0\nc=3.0.0.0|255.0.0.0\n",
         {"0:1.0.0.0/255.0.0.0", "2:3.0.0.0/255.0.0.0"}},
        {"a=1.0.0.0||255.0.0.0\n", {"0:1.0.0.0/255.0.0.0"}},
        {"a=|255.0.0.0\nb=\nc=3.0.0.0|255.0.0.0|junk\n", {"2:3.0.0.0/255.0.0.0"}},
        // Not dotted quads: skipped, never some address such as 0.0.0.0.
        {"a=1.0.0.256|255.0.0.0\nb=1.2.3|255.0.0.0\nc=x.0.0.0|255.0.0.0\nd=1.0.0.0|255.0.255.0\n"
         "e=1.0.0.0|255.0.0.0.0\nf=-1.0.0.0|255.0.0.0\ng=4.0.0.0|255.0.0.0\n",
         {"6:4.0.0.0/255.0.0.0"}},
    };
    for (const Case& c : cases) {
        loadList((std::string("[mode]\n") + c.section).c_str());
        routes->loadroutes(QStringLiteral("mode"));
        EXPECT_EQ(filled(), c.expected) << c.section;
    }
}

TEST_F(RoutesTest, GapAddsOnlyFilledEntriesWithTheFirstRowsMetric) {
    loadList("[mode]\na=1.0.0.0|255.0.0.0\nb=2.0.0.0\nc=3.0.0.0|255.0.0.0\n");
    routes->loadroutes(QStringLiteral("mode"));
    routes->addroutes();
    ASSERT_EQ(ours().size(), 2u);
    for (const Ipv4Route& r : ours()) {
        EXPECT_EQ(r.nextHop, ip("192.168.1.1"));
        EXPECT_EQ(r.ifIndex, 2);  // no neighbour entry: the interface the table leads to
        EXPECT_EQ(r.metric, 100);
        EXPECT_EQ(r.type, 1);
    }
}

TEST_F(RoutesTest, GlobalNameOfTheLanguageLeavesTheTableEmpty) {
    loadList("[global]\na=1.0.0.0|255.0.0.0\n[全局加速]\na=1.0.0.0|255.0.0.0\n");
    struct Case {
        int langindex;
        QString name;
        bool empty;
    } cases[] = {
        {2, QStringLiteral("global"), true},   {0, QStringLiteral("全局加速"), true},
        {1, QStringLiteral("全局加速"), true}, {3, totraditional(QStringLiteral("全局加速")), true},
        {1, QStringLiteral("global"), false},  {2, QStringLiteral("全局加速"), false},
    };
    for (const Case& c : cases) {
        routes->loadglobalroute(QStringLiteral("aa"));  // something to clear
        session.langindex = c.langindex;
        routes->loadroutes(c.name);
        EXPECT_EQ(filled().isEmpty(), c.empty) << c.langindex << " " << c.name.toStdString();
    }
}

TEST_F(RoutesTest, EmptyNameKeepsTheTable) {
    routes->loadglobalroute(QStringLiteral("aa"));
    routes->loadroutes(QString());
    EXPECT_EQ(filled(), QStringList{"0:203.0.113.7/255.255.255.255"});
}

TEST_F(RoutesTest, RouteListWithoutSectionsNeverAddsRoutes) {
    loadList("; nothing but a comment\n");
    fillroutetype(routetype, session.routeini);
    EXPECT_EQ(routetype.count(), 0);
    EXPECT_EQ(routetype.currentIndex(), -1);
    routes->routetypeChange();
    routes->addroutesonconnect();
    EXPECT_TRUE(session.routesadded);
    EXPECT_EQ(sim.addCalls(), 0);
}

TEST_F(RoutesTest, GameChoiceLoadsItsSection) {
    loadList("[game]\na=5.0.0.0|255.0.0.0\n");
    com_game.addItem(QStringLiteral("game"));
    com_game.setCurrentIndex(0);
    emit com_game.activated(0);
    EXPECT_EQ(filled(), QStringList{"0:5.0.0.0/255.0.0.0"});
}

TEST_F(RoutesTest, InterfaceComesFromTheNeighbourCacheFirst) {
    sim.setNeighbour(ip("192.168.1.1"), 11);
    routes->loadglobalroute(QStringLiteral("aa"));
    routes->addroutes();
    ASSERT_EQ(ours().size(), 1u);
    EXPECT_EQ(ours()[0].ifIndex, 11);
    EXPECT_EQ(ours()[0].mask, 0xFFFFFFFFu);
}

TEST_F(RoutesTest, NothingIsAddedWithoutAUsableGateway) {
    struct Case {
        const char* what;
        std::vector<Ipv4Route> table;
    } cases[] = {
        {"gateway unreachable", {{0, 0, ip("10.9.9.9"), 0, 1, 3, 0}}},
        {"first row without next hop",
         {lanRoute, {ip("192.168.2.0"), ip("255.255.255.0"), ip("192.168.1.1"), 2, 1, 3, 0}}},
    };
    for (const Case& c : cases) {
        sim.setRoutes(c.table);
        routes->loadglobalroute(QStringLiteral("aa"));
        routes->addroutes();
        EXPECT_TRUE(ours().empty()) << c.what;
    }
}

TEST_F(RoutesTest, FailingAddStillMarksRoutesAddedSoTheTeardownRuns) {
    routes->loadglobalroute(QStringLiteral("aa"));
    sim.setTableReadable(false);
    routes->addroutesonconnect();
    EXPECT_TRUE(session.routesadded);
    EXPECT_EQ(sim.addCalls(), 0);
    routes->addroutesonconnect();  // already marked: nothing more
    EXPECT_EQ(sim.addCalls(), 0);
    routes->delroutesonteardown();
    EXPECT_FALSE(session.routesadded);
}

TEST_F(RoutesTest, OneFailedAdditionDoesNotStopTheOthers) {
    loadList("[mode]\na=1.0.0.0|255.0.0.0\nb=2.0.0.0|255.0.0.0\nc=3.0.0.0|255.0.0.0\n");
    routetype.addItems({QStringLiteral("全局加速"), QStringLiteral("mode")});
    routetype.setCurrentIndex(1);
    routes->routetypeChange();
    sim.failAdd(ip("2.0.0.0"), ENETUNREACH);
    routes->addroutesonconnect();
    EXPECT_EQ(ours().size(), 2u);
    routes->delroutesonteardown();
    EXPECT_TRUE(ours().empty());
    EXPECT_EQ(sim.deleteCalls(), 2);  // the failed one is not ours to delete
}

TEST_F(RoutesTest, TeardownRemovesOnlyWhatThisClientAdded) {
    // The system already routes the server itself, once with another metric and next hop
    // and once exactly as we would: both must survive.
    const Ipv4Route own{ip("203.0.113.7"), 0xFFFFFFFF, ip("192.168.1.254"), 2, 1, 4, 0};
    const Ipv4Route same{ip("10.1.0.0"), ip("255.255.0.0"), ip("192.168.1.1"), 2, 1, 4, 100};
    sim.setRoutes({lanRoute, defaultRoute, own, same});
    loadList("[mode]\na=10.1.0.0|255.255.0.0\nb=10.1.0.0|255.255.0.0\n");
    routes->loadroutes(QStringLiteral("mode"));
    routes->addroutes();  // the duplicate is added once; the clash with `same` is refused
    EXPECT_TRUE(ours().empty());
    routes->loadglobalroute(QStringLiteral("aa"));
    routes->addroutes();
    routes->addroutes();  // the hidden button pressed twice adds nothing more
    ASSERT_EQ(ours().size(), 1u);
    routes->delroutes();
    EXPECT_TRUE(ours().empty());
    EXPECT_EQ(sim.deleteCalls(), 1);
    EXPECT_EQ(sim.routes().size(), 4u);  // own and same still there
}

TEST_F(RoutesTest, JournalFollowsTheAddedRoutes) {
    loadList("[mode]\na=1.0.0.0|255.0.0.0\nb=2.0.0.0|255.0.0.0\n");
    routes->loadroutes(QStringLiteral("mode"));
    routes->addroutes();
    const std::vector<Ipv4Route> journal = RouteJournal(journalPath()).read();
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_TRUE(journal[0].sameRoute(routes->addedroutes()[0]));
    EXPECT_TRUE(journal[1].sameRoute(routes->addedroutes()[1]));
    routes->delroutes();
    EXPECT_FALSE(QFile::exists(journalPath()));
}

TEST_F(RoutesTest, LeftoverRoutesAreRemovedOnlyWhenTheyStillMatch) {
    const Ipv4Route left{
        ip("1.0.0.0"), ip("255.0.0.0"), ip("192.168.1.1"), 2, 1, kZenrunRouteProtocol, 100};
    Ipv4Route changed = left;  // the same destination, now on another metric: not ours any more
    changed.destination = ip("2.0.0.0");
    Ipv4Route changedNow = changed;
    changedNow.metric = 50;
    sim.setRoutes({lanRoute, defaultRoute, left, changedNow});
    ASSERT_TRUE(RouteJournal(journalPath()).write({left, changed}));

    routes->clearleftoverroutes();
    EXPECT_EQ(sim.routes().size(), 3u);
    EXPECT_EQ(sim.deleteCalls(), 1);
    EXPECT_FALSE(QFile::exists(journalPath()));
}

// A journal write killed between writing its temporary and the rename leaves the temporary;
// the next start removes it once it is old enough to belong to no running write.
TEST_F(RoutesTest, AKilledJournalWritesTemporaryGoesAtTheNextStart) {
    const QString stale = journalPath() + QStringLiteral(".aB3dE9");
    const QString fresh = journalPath() + QStringLiteral(".Zz0Yy1");
    const QString other = journalPath() + QStringLiteral(".keep-me");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(journalPath()).absolutePath()));
    for (const QString& name : {stale, fresh, other}) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("1.0.0.0 255.0");
        f.flush();
        if (name == stale) {
            f.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                          QFileDevice::FileModificationTime);
        }
    }
    routes->clearleftoverroutes();
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(fresh)) << "may be a write still running";
    EXPECT_TRUE(QFile::exists(other)) << "not a temporary of ours";
}

TEST_F(RoutesTest, UnreadableTableKeepsTheJournalForLater) {
    const Ipv4Route left{
        ip("1.0.0.0"), ip("255.0.0.0"), ip("192.168.1.1"), 2, 1, kZenrunRouteProtocol, 100};
    ASSERT_TRUE(RouteJournal(journalPath()).write({left}));
    sim.setTableReadable(false);
    routes->clearleftoverroutes();
    EXPECT_TRUE(QFile::exists(journalPath()));
}

}  // namespace
}  // namespace zenrun
