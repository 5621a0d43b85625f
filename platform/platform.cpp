#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/dns.h"
#include "platform/hotkeys.h"
#include "platform/http.h"
#include "platform/icmp.h"
#include "platform/iphelper.h"
#include "platform/linux/linuxicmp.h"
#include "platform/linux/linuxshell.h"
#include "platform/linux/netlinkadapters.h"
#include "platform/linux/netlinkiphelper.h"
#include "platform/linux/nmclidns.h"
#include "platform/linux/pppdras.h"
#include "platform/linux/procservices.h"
#include "platform/linux/qtclock.h"
#include "platform/linux/qtdialogs.h"
#include "platform/linux/qthttp.h"
#include "platform/linux/resolvconfdns.h"
#include "platform/linux/resolvectldns.h"
#include "platform/linux/x11hotkeys.h"
#include "platform/ras.h"
#include "platform/registry.h"
#include "platform/regstore.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "platform/sim/simadapterdns.h"
#include "platform/sim/simicmp.h"
#include "platform/sim/simiphelper.h"
#include "platform/sim/simras.h"
#include "platform/sim/simservices.h"

namespace zenrun {

Platform::Platform() = default;
Platform::~Platform() = default;

PlatformOptions platformOptionsFromEnvironment() {
    PlatformOptions o;
    if (qEnvironmentVariable("ZENRUN_MODE") == QLatin1String("demo")) o.mode = PlatformMode::Demo;
    o.stateDir = qEnvironmentVariable("ZENRUN_STATE_DIR");
    o.demoData = qEnvironmentVariable("ZENRUN_DEMO_DATA");
    if (o.mode == PlatformMode::Demo && o.stateDir.isEmpty())
        o.stateDir = QDir::tempPath() + QStringLiteral("/zenrun-demo");
    return o;
}

namespace {
// The demo must not change the host: its routes live in memory, behind a home router.
std::unique_ptr<IpHelper> demoIpHelper() {
    auto sim = std::make_unique<SimIpHelper>();
    constexpr std::uint32_t lan = 0xC0A80100;  // 192.168.1.0/24 on interface 2
    sim->setRoutes({{0, 0, lan | 1, 2, 1, 3, 100}, {lan, 0xFFFFFF00, 0, 2, 1, 2, 100}});
    sim->setNeighbour(lan | 1, 2);
    return sim;
}

// The demo's L2TP daemon: a repair finds it, ends it and sees it come back.
std::unique_ptr<Services> demoServices() {
    auto sim = std::make_unique<SimServices>();
    const Services::DialUpHost host = sim->dialUpHost();
    const QString cmd = QStringLiteral("xl2tpd -c ") + host.marker;
    sim->addProcess(412, QStringLiteral("xl2tpd"), cmd);
    sim->setServiceProcess(host.services.value(0), 413, QStringLiteral("xl2tpd"), cmd);
    return sim;
}

// The dial-up programs can be replaced (a stand-in for tests, a build of one's own), and with
// them the folders only a stand-in would write elsewhere (pid files, our xl2tpd's run folder)
// and the kernel's PPP device a stand-in does not need.
PppdRasPaths pppdRasPathsFromEnvironment() {
    PppdRasPaths paths;
    auto take = [](const char* name, QString& into) {
        const QString v = qEnvironmentVariable(name);
        if (!v.isEmpty()) into = v;
    };
    take("ZENRUN_PPPD", paths.pppd);
    take("ZENRUN_PPTP", paths.pptp);
    take("ZENRUN_XL2TPD", paths.xl2tpd);
    take("ZENRUN_PPP_PIDDIR", paths.pidDir);
    take("ZENRUN_PPP_RUNDIR", paths.runDir);
    take("ZENRUN_DEV_PPP", paths.devPpp);
    return paths;
}

// The demo's home network: one wired adapter behind the router of demoIpHelper, on DHCP,
// and the tunnel of a demo link while it is up.
std::unique_ptr<AdapterDns> demoDns(Ras& ras) {
    auto sim = std::make_unique<SimAdapterDns>();
    sim->followLinks(ras);
    sim->setAdapters({{QStringLiteral("lo"), 1, {}, {QStringLiteral("127.0.0.1")}},
                      {QStringLiteral("eth0"),
                       2,
                       QStringLiteral("192.168.1.1"),
                       {QStringLiteral("192.168.1.100")}}});
    sim->setLease(QStringLiteral("eth0"), {QStringLiteral("192.168.1.1")});
    return sim;
}

// The one place that picks how DNS servers are set on this host. NetworkManager, when it
// runs, keeps the servers of the adapters it manages; a link it does not own (our ppp tunnel)
// gets per-link servers from systemd-resolved where that runs, else the resolver file. Without
// NetworkManager everything goes into the resolver file.
std::unique_ptr<AdapterDns> hostDns(IpHelper& routes, const QString& stateDir) {
    auto lister = [&routes] { return listnetlinkadapters(routes); };
    auto file = std::make_unique<ResolvConfDns>(lister, QStringLiteral("/etc/resolv.conf"),
                                                stateDir + QStringLiteral("/resolv.conf.orig"));
    if (!NmcliDns::running()) return file;
    std::unique_ptr<AdapterDns> unowned = std::move(file);
    if (ResolvectlDns::running()) unowned = std::make_unique<ResolvectlDns>(lister);
    return std::make_unique<NmcliDns>(lister, std::move(unowned));
}

// The demo's lines answer pings after the delay the back-end's data file gives each address
// ("delay" in ms, -1 for a line that never answers), in real time, so a speed test takes as
// long as it would on a network.
std::unique_ptr<Icmp> demoIcmp(QString dataFile) {
    auto sim = std::make_unique<SimIcmp>();
    sim->setRealTime(true);
    if (dataFile.isEmpty())
        dataFile =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../server/demo/demo.json");
    QFile f(dataFile);
    if (!f.open(QIODevice::ReadOnly)) return sim;
    const QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
    for (const QJsonValue& area : root.value(QStringLiteral("areas")).toArray()) {
        for (const QJsonValue& v : area.toObject().value(QStringLiteral("lines")).toArray()) {
            const QJsonObject line = v.toObject();
            const QString address = line.value(QStringLiteral("address")).toString();
            const QJsonValue delay = line.value(QStringLiteral("delay"));
            if (address.isEmpty() || !delay.isDouble()) continue;
            sim->setRtt(address, delay.toInt());
        }
    }
    return sim;
}
}  // namespace

std::unique_ptr<Platform> makePlatform(const PlatformOptions& options) {
    auto p = std::make_unique<Platform>();
    p->clock = std::make_unique<QtClock>();
    p->dialogs = std::make_unique<QtDialogs>();
    p->hotkeys = std::make_unique<X11HotKeys>();
    p->shell = options.mode == PlatformMode::Demo
                   ? std::make_unique<LinuxShell>(options.stateDir + QStringLiteral("/home"))
                   : std::make_unique<LinuxShell>();
    p->http = std::make_unique<QtHttp>();
    if (options.mode == PlatformMode::Demo) {
        p->stateDir = options.stateDir;
        p->ipHelper = demoIpHelper();
        p->icmp = demoIcmp(options.demoData);
        p->ras = makeDemoRas(*p->clock);
        p->dns = demoDns(*p->ras);
        p->services = demoServices();
        p->registry = std::make_unique<RegStore>(options.stateDir + QStringLiteral("/user.reg"),
                                                 options.stateDir + QStringLiteral("/machine.reg"));
    } else {
        p->ipHelper = std::make_unique<NetlinkIpHelper>();
        p->icmp = std::make_unique<LinuxIcmp>();
        p->stateDir =
            options.stateDir.isEmpty() ? QStringLiteral("/var/lib/zenrun") : options.stateDir;
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
        p->registry = std::make_unique<RegStore>(config + QStringLiteral("/zenrun/user.reg"),
                                                 p->stateDir + QStringLiteral("/machine.reg"));
        const PppdRasPaths dialup = pppdRasPathsFromEnvironment();
        // A run that was killed may have left a password in the phonebook and a link up.
        auto ras = std::make_unique<PppdRas>(*p->clock, dialup);
        ras->cleanupLeftovers();
        p->ras = std::move(ras);
        // The repair looks for the L2TP daemon the dial-up service runs.
        ProcServices::Options processes;
        processes.runDir = dialup.runDir;
        processes.xl2tpd = dialup.xl2tpd;
        p->services = std::make_unique<ProcServices>(processes);
        p->dns = hostDns(*p->ipHelper, p->stateDir);
    }
    return p;
}

}  // namespace zenrun
