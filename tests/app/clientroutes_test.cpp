// The route logic as the assembled client drives it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/clientapp.h"
#include "core/session.h"
#include "netcfg/routejournal.h"
#include "netcfg/routetable.h"
#include "platform/sim/simplatform.h"
#include "ui/mainwindow.h"

namespace zenrun {
namespace {

std::uint32_t ip(const char* text) {
    return *parsedottedquad(QString::fromLatin1(text));
}

TEST(ClientRoutes, StartClearsLeftoversAndTheWindowDrivesTheRoutes) {
    SimPlatform sim;
    QTemporaryDir dir;
    sim.platform.stateDir = dir.path();
    const Ipv4Route gatewayRoute{0, 0, ip("192.168.1.1"), 2, 1, 3, 100};
    const Ipv4Route leftover{
        ip("1.0.0.0"), ip("255.0.0.0"), ip("192.168.1.1"), 2, 1, kZenrunRouteProtocol, 100};
    sim.ipHelper.setRoutes({gatewayRoute, leftover});
    ASSERT_TRUE(RouteJournal(dir.path() + QStringLiteral("/routes.journal")).write({leftover}));

    Session session;
    ClientApp app(session, sim.platform, {false});
    app.seams().exitProcess = [](int) {};
    app.seams().showLogin = [&] {
        session.loginok = true;
        session.serverhostip = QStringLiteral("203.0.113.7");
        session.firstshow = QStringLiteral("2");
    };
    ASSERT_TRUE(app.start());
    EXPECT_EQ(sim.ipHelper.routes().size(), 1u) << "the leftover route is gone";

    // The first show applies the route mode; the hidden buttons add and remove its routes.
    app.shell().mainshowTimer();
    app.mainForm().sButton1->click();
    ASSERT_EQ(sim.ipHelper.routes().size(), 2u);
    EXPECT_EQ(sim.ipHelper.routes().back().destination, ip("203.0.113.7"));
    EXPECT_FALSE(session.routesadded);
    app.mainForm().sButton2->click();
    EXPECT_EQ(sim.ipHelper.routes().size(), 1u);

    // Closing the window removes routes a connect added.
    app.mainForm().sButton1->click();
    session.routesadded = true;
    app.shell().FormClose();
    EXPECT_EQ(sim.ipHelper.routes().size(), 1u);
    EXPECT_FALSE(session.routesadded);
}

}  // namespace
}  // namespace zenrun
