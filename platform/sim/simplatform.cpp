#include "platform/sim/simplatform.h"

#include "platform/dns.h"

namespace zenrun {

namespace {

std::unique_ptr<Platform> build() {
    auto p = std::make_unique<Platform>();
    p->clock = std::make_unique<SimClock>();
    p->dialogs = std::make_unique<SimDialogs>();
    p->registry = std::make_unique<RegStore>();
    p->hotkeys = std::make_unique<SimHotKeys>();
    p->shell = std::make_unique<SimShell>();
    p->http = std::make_unique<SimHttp>();
    p->ipHelper = std::make_unique<SimIpHelper>();
    p->icmp = std::make_unique<SimIcmp>();
    p->ras = std::make_unique<SimRas>(*p->clock);
    p->dns = std::make_unique<SimAdapterDns>();
    p->services = std::make_unique<SimServices>();
    p->stateDir = QStringLiteral("/nonexistent-state");
    return p;
}
}  // namespace

SimPlatform::SimPlatform()
    : owned(build()),
      platform(*owned),
      clock(static_cast<SimClock&>(*owned->clock)),
      dialogs(static_cast<SimDialogs&>(*owned->dialogs)),
      registry(static_cast<RegStore&>(*owned->registry)),
      hotkeys(static_cast<SimHotKeys&>(*owned->hotkeys)),
      shell(static_cast<SimShell&>(*owned->shell)),
      http(static_cast<SimHttp&>(*owned->http)),
      ipHelper(static_cast<SimIpHelper&>(*owned->ipHelper)),
      icmp(static_cast<SimIcmp&>(*owned->icmp)),
      ras(static_cast<SimRas&>(*owned->ras)),
      dns(static_cast<SimAdapterDns&>(*owned->dns)),
      services(static_cast<SimServices&>(*owned->services)) {}

}  // namespace zenrun
