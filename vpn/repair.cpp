#include "vpn/repair.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace zenrun {

namespace {
// How often a wait looks at the shutdown flag: short enough that closing the window ends the
// wait at once, long enough that the wait costs next to no processor time.
constexpr int kShutdownCheckMs = 20;
constexpr int kBetweenStartsMs = 1000;
constexpr int kSettleMs = 10000;
}  // namespace

void waitms(Clock& clock, int ms, const std::function<bool()>& shuttingDown) {
    const std::uint32_t start = clock.tickCount();
    for (;;) {
        if (shuttingDown && shuttingDown()) return;
        // Unsigned difference: the wrap of the tick counter does not end the wait.
        const std::uint32_t passed = clock.tickCount() - start;
        if (ms <= 0 || passed >= static_cast<std::uint32_t>(ms)) return;
        const int left = ms - static_cast<int>(passed);
        clock.waitms(std::min(left, kShutdownCheckMs));
    }
}

ServiceRepair::ServiceRepair(Registry& registry, Services& services, Clock& clock,
                             std::function<bool()> shuttingDown)
    : registry_(registry),
      services_(services),
      clock_(clock),
      shuttingDown_(std::move(shuttingDown)) {}

void ServiceRepair::waitms(int ms) {
    zenrun::waitms(clock_, ms, shuttingDown_);
}

void ServiceRepair::repairrasservice() {
    // Reading and ending the daemon needs no extra privilege on Linux: the client runs as
    // root, so there is no debug privilege to enable first.
    try {
        registry_.writeInteger(Hive::LocalMachine, QString::fromLatin1(kRasParametersKey),
                               QStringLiteral("ProhibitIPSec"), 1);
    } catch (...) {
    }
    const Services::DialUpHost host = services_.dialUpHost();
    qint64 target = 0;
    try {
        for (const Services::Process& p : services_.processes()) {
            if (p.imageName.toLower() != host.imageName) continue;
            if (!host.marker.isEmpty() && services_.commandLine(p.pid).contains(host.marker)) {
                target = p.pid;
                break;
            }
        }
    } catch (...) {
    }
    if (target == 0) return;
    try {
        services_.terminate(target);
    } catch (...) {
    }
    for (const QString& name : host.services) {
        try {
            services_.startService(name);
        } catch (...) {
        }
        waitms(kBetweenStartsMs);
        try {
            services_.startService(name);
        } catch (...) {
        }
    }
    waitms(kSettleMs);
}

}  // namespace zenrun
