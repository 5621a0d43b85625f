#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/regstore.h"
#include "platform/sim/simadapterdns.h"
#include "platform/sim/simclock.h"
#include "platform/sim/simdialogs.h"
#include "platform/sim/simhotkeys.h"
#include "platform/sim/simhttp.h"
#include "platform/sim/simicmp.h"
#include "platform/sim/simiphelper.h"
#include "platform/sim/simras.h"
#include "platform/sim/simservices.h"
#include "platform/sim/simshell.h"

namespace zenrun {

// A platform made only of simulated services, with typed access to their driving APIs.
struct SimPlatform {
    SimPlatform();
    std::unique_ptr<Platform> owned;
    Platform& platform;
    SimClock& clock;
    SimDialogs& dialogs;
    RegStore& registry;
    SimHotKeys& hotkeys;
    SimShell& shell;
    SimHttp& http;
    SimIpHelper& ipHelper;
    SimIcmp& icmp;
    SimRas& ras;
    SimAdapterDns& dns;
    SimServices& services;
};

}  // namespace zenrun
