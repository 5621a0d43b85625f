// End to end on the real Linux path, inside a network namespace the test creates: the real
// route table (netlink), the Linux dial-up service with the stand-in pppd, and zenrun-backend
// for the IP check. Connect -> routes in -> link up -> peers file gone -> Disconnect -> routes
// out, no pppd left, the table as before. Needs root; skips otherwise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>

#include "backend/endpoints.h"
#include "backend/mystring.h"
#include "backendfixture.h"
#include "core/session.h"
#include "core/textutil.h"
#include "netcfg/routes.h"
#include "netcfg/testnetns.h"
#include "platform/linux/pppdras.h"
#include "platform/linux/procservices.h"
#include "platform/linux/qtclock.h"
#include "platform/linux/qthttp.h"
#include "platform/platform.h"
#include "platform/pppdfixture.h"
#include "platform/regstore.h"
#include "platform/sim/simdialogs.h"
#include "platform/sim/simservices.h"
#include "ui/mainwindow.h"
#include "vpn/connect.h"
#include "vpn/dialmonitor.h"
#include "vpn/disconnect.h"
#include "vpn/l2tp.h"
#include "vpn/repair.h"

namespace zenrun::testing {
namespace {

struct RealPath : ::testing::Test {
    std::unique_ptr<TestNetns> ns;
    std::unique_ptr<InsideNetns> inside;
    std::vector<std::unique_ptr<ScopedEnv>> env;
    QTemporaryDir dir;
    std::unique_ptr<BackendFixture> backend;
    Platform p;
    Session s;
    std::unique_ptr<Tfrmmain> form;
    std::unique_ptr<Routes> routes;
    std::unique_ptr<ServiceRepair> repair;
    std::unique_ptr<Disconnect> disconnect;
    std::unique_ptr<L2tpPreparation> l2tp;
    std::unique_ptr<Connect> connect;
    std::unique_ptr<DialMonitor> monitor;

    QString sub(const char* name) const {
        return dir.path() + QLatin1Char('/') + QLatin1String(name);
    }

    void SetUp() override {
        ns = std::make_unique<TestNetns>();
        if (!ns->unusable().isEmpty()) GTEST_SKIP() << ns->unusable().toStdString();
        inside = std::make_unique<InsideNetns>(ns->name());
        ASSERT_TRUE(inside->entered());
        for (const char* d : {"peers", "run", "pids"}) QDir().mkpath(sub(d));
        auto set = [this](const char* n, const QString& v) {
            env.push_back(std::make_unique<ScopedEnv>(n, v));
        };
        set("STANDIN_PIDDIR", sub("pids"));
        set("STANDIN_RECORD", sub("pppd.record"));
        set("STANDIN_XL2TPD_RECORD", sub("xl2tpd.record"));
        set("STANDIN_XL2TPD_PPPD", kStandinPppd);
        set("STANDIN_NETNS", ns->name());

        backend = std::make_unique<BackendFixture>();
        ASSERT_TRUE(backend->started()) << backend->error().toStdString();

        PppdRasPaths paths;
        paths.pppd = kStandinPppd;
        paths.pptp = QStringLiteral("/bin/true");
        paths.xl2tpd = kStandinXl2tpd;
        paths.peersDir = sub("peers");
        paths.runDir = sub("run");
        paths.pidDir = sub("pids");
        paths.devPpp = QStringLiteral("/dev/null");
        p.clock = std::make_unique<QtClock>();
        p.dialogs = std::make_unique<SimDialogs>();
        p.registry = std::make_unique<RegStore>();
        p.http = std::make_unique<QtHttp>();
        auto ip = std::make_unique<NetlinkIpHelper>();
        ASSERT_TRUE(ip->isOpen());
        p.ipHelper = std::move(ip);
        p.ras = std::make_unique<PppdRas>(*p.clock, paths);
        p.services = std::make_unique<SimServices>();

        s.username = QStringLiteral("demo");
        s.userpass = QStringLiteral("demo123");
        s.serverhost = backend->host();
        s.serverhostip = QStringLiteral("198.51.100.7");  // a route inside our namespace only
        const LoginCodes lc = logincodes(s.username, s.userpass);
        const FirstShowCodes fs = firstshowcodes(lc.usercode, lc.passcode);
        s.chaincode1 = fs.chaincode1;
        s.chaincode2 = fs.chaincode2;
        s.viewcode = lc.viewcode;
        s.lineini = IniDocument::parse(gethtml(*p.http, vpnlisturl(s, s.username)));
        ASSERT_FALSE(s.lineini.isEmpty());

        form = std::make_unique<Tfrmmain>(*p.clock);
        routes = std::make_unique<Routes>(
            s, *p.ipHelper,
            Routes::Controls{form->routetype, form->com_game, form->sButton1, form->sButton2},
            sub("routes.journal"));
        routes->routetypeChange();
        repair = std::make_unique<ServiceRepair>(*p.registry, *p.services, *p.clock,
                                                 [] { return false; });
        disconnect = std::make_unique<Disconnect>(s, *p.ras, *routes, *form);
        l2tp = std::make_unique<L2tpPreparation>(s, *p.registry, *p.dialogs, *form, *repair);
        connect = std::make_unique<Connect>(s, p, *form, *routes, *disconnect, *l2tp,
                                            [] { return LineNode{}; });
        monitor = std::make_unique<DialMonitor>(s, *p.ras, *p.dialogs, *routes, *form, *disconnect,
                                                [this] { connect->btn_connClick(); });
        monitor->wire();
    }
    void TearDown() override {
        monitor.reset();
        connect.reset();
        l2tp.reset();
        disconnect.reset();
        repair.reset();
        routes.reset();
        form.reset();
        p.ras.reset();
        backend.reset();
        inside.reset();
        ns.reset();
    }
    QString table() { return ns->show({"route", "show", "table", "main"}); }
    bool waitFor(const std::function<bool()>& done, int ms) {
        for (int waited = 0; waited < ms && !done(); waited += 20) p.clock->waitms(20);
        return done();
    }
    // This test's pppds only (their options file is in our folder): other tests running at
    // the same time dial too.
    int ourPppds() {
        int n = 0;
        ProcServices procs;
        for (const auto& proc : procs.processes()) {
            const QString cmd = procs.commandLine(proc.pid);
            if (cmd.startsWith(kStandinPppd) && cmd.contains(sub("peers") + QLatin1Char('/'))) ++n;
        }
        return n;
    }
};

TEST_F(RealPath, ConnectAndDisconnectThroughPppdAndTheRouteTable) {
    const QString before = table();
    const int pppdsBefore = ourPppds();
    form->AreaTxt2->addItem(QStringLiteral("华东"));
    form->IPAddrTxt->addItem(QStringLiteral("上海电信2"));  // the back-end issues a dial account

    connect->btn_connClick();
    ASSERT_NE(s.connhandle, 0) << form->statuslabel->text().toStdString();
    EXPECT_FALSE(s.dialaccount);
    EXPECT_TRUE(table().contains(QStringLiteral("198.51.100.7 via 10.200.0.254")))
        << table().toStdString();

    ASSERT_TRUE(waitFor([&] { return s.connected; }, 15000))
        << form->statuslabel->text().toStdString();
    EXPECT_EQ(form->statuslabel->text(), QStringLiteral("连接成功"));
    EXPECT_TRUE(QDir(sub("peers")).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "the entry goes at link-up";
    EXPECT_EQ(ourPppds(), pppdsBefore + 1);

    disconnect->btn_disconnClick();
    EXPECT_FALSE(s.connected);
    EXPECT_TRUE(waitFor([&] { return ourPppds() == pppdsBefore; }, 5000)) << "no pppd of ours left";
    EXPECT_EQ(table(), before);
    EXPECT_FALSE(s.routesadded);
}

}  // namespace
}  // namespace zenrun::testing
