#pragma once

#include <QString>
#include <memory>

namespace zenrun {

class Clock;
class Dialogs;
class Registry;
class HotKeys;
class Shell;
class Http;
class IpHelper;
class Ras;
class AdapterDns;
class Services;
class Icmp;

// The services the operating system provides, handed to the forms and logic classes.
struct Platform {
    Platform();
    ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    std::unique_ptr<Clock> clock;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<HotKeys> hotkeys;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<Http> http;
    std::unique_ptr<IpHelper> ipHelper;  // real: netlink; demo: simulated table
    std::unique_ptr<Ras> ras;            // real: pppd; demo: simulated dial-up
    // Adapters and their DNS servers. Real: NetworkManager where it runs, the resolver file
    // otherwise; demo: in memory. Declared after ipHelper, whose routes give the gateways.
    std::unique_ptr<AdapterDns> dns;
    std::unique_ptr<Services> services;  // real: /proc, systemd; demo: simulated
    std::unique_ptr<Icmp> icmp;          // real: ICMP socket; demo: the demo data's delays
    // Folder for machine-wide state of the client itself (journals), created on demand.
    QString stateDir;
};

enum class PlatformMode {
    Real,  // everything on the host: routes, dial-up, registry under /var/lib/zenrun
    Demo,  // real windows and HTTP; network simulated; all state under one demo folder
};

struct PlatformOptions {
    PlatformMode mode = PlatformMode::Real;
    // Demo: the folder that holds both registry hives and the machine state.
    // Real: overrides /var/lib/zenrun when set.
    QString stateDir;
    // Demo: the back-end's data file, whose lines give the simulated ping delays. Empty:
    // server/demo/demo.json beside the build folder.
    QString demoData;
};

// Reads ZENRUN_MODE ("demo" or "real"), ZENRUN_STATE_DIR and ZENRUN_DEMO_DATA.
PlatformOptions platformOptionsFromEnvironment();
std::unique_ptr<Platform> makePlatform(const PlatformOptions& options);

}  // namespace zenrun
