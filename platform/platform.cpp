#include "platform/platform.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/hotkeys.h"
#include "platform/http.h"
#include "platform/iphelper.h"
#include "platform/linux/linuxshell.h"
#include "platform/linux/netlinkiphelper.h"
#include "platform/linux/pppdras.h"
#include "platform/linux/procservices.h"
#include "platform/linux/qtclock.h"
#include "platform/linux/qtdialogs.h"
#include "platform/linux/qthttp.h"
#include "platform/linux/x11hotkeys.h"
#include "platform/ras.h"
#include "platform/registry.h"
#include "platform/regstore.h"
#include "platform/services.h"
#include "platform/shell.h"
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

// The dial-up programs can be replaced (a stand-in for tests, a build of one's own).
PppdRasPaths pppdRasPathsFromEnvironment() {
    PppdRasPaths paths;
    auto take = [](const char* name, QString& into) {
        const QString v = qEnvironmentVariable(name);
        if (!v.isEmpty()) into = v;
    };
    take("ZENRUN_PPPD", paths.pppd);
    take("ZENRUN_PPTP", paths.pptp);
    take("ZENRUN_XL2TPD", paths.xl2tpd);
    return paths;
}
}  // namespace

std::unique_ptr<Platform> makePlatform(const PlatformOptions& options) {
    auto p = std::make_unique<Platform>();
    p->clock = std::make_unique<QtClock>();
    p->dialogs = std::make_unique<QtDialogs>();
    p->hotkeys = std::make_unique<X11HotKeys>();
    p->shell = std::make_unique<LinuxShell>();
    p->http = std::make_unique<QtHttp>();
    if (options.mode == PlatformMode::Demo) {
        p->stateDir = options.stateDir;
        p->ipHelper = demoIpHelper();
        p->ras = makeDemoRas(*p->clock);
        p->services = demoServices();
        p->registry = std::make_unique<RegStore>(options.stateDir + QStringLiteral("/user.reg"),
                                                 options.stateDir + QStringLiteral("/machine.reg"));
    } else {
        p->ipHelper = std::make_unique<NetlinkIpHelper>();
        p->stateDir =
            options.stateDir.isEmpty() ? QStringLiteral("/var/lib/zenrun") : options.stateDir;
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
        p->registry = std::make_unique<RegStore>(config + QStringLiteral("/zenrun/user.reg"),
                                                 p->stateDir + QStringLiteral("/machine.reg"));
        // A run that was killed may have left a password in the phonebook and a link up.
        const PppdRasPaths dialup = pppdRasPathsFromEnvironment();
        auto ras = std::make_unique<PppdRas>(*p->clock, dialup);
        ras->cleanupLeftovers();
        p->ras = std::move(ras);
        // The repair looks for the L2TP daemon the dial-up service runs.
        ProcServices::Options processes;
        processes.runDir = dialup.runDir;
        processes.xl2tpd = dialup.xl2tpd;
        p->services = std::make_unique<ProcServices>(processes);
    }
    return p;
}

}  // namespace zenrun
