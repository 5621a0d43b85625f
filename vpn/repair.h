#pragma once

#include <QString>
#include <functional>

namespace zenrun {

class Clock;
class Registry;
class Services;

// The dial-up service parameter that keeps IPsec off L2TP links.
inline constexpr char kRasParametersKey[] =
    "\\SYSTEM\\CurrentControlSet\\Services\\RasMan\\Parameters\\";
inline constexpr char kProhibitIpSec[] = "ProhibitIpSec";

// Waits `ms` on the event loop (input, painting and timers go on; no core is kept busy) and
// returns as soon as `shuttingDown` says the program is ending.
void waitms(Clock& clock, int ms, const std::function<bool()>& shuttingDown);

// Makes the L2TP setting take effect: sets the parameter, ends the process that carries the
// dial-up daemons, starts the daemons again and gives them ten seconds. Never tells the user
// anything; every failing step is skipped.
class ServiceRepair {
public:
    ServiceRepair(Registry& registry, Services& services, Clock& clock,
                  std::function<bool()> shuttingDown);

    void repairrasservice();
    void waitms(int ms);

private:
    Registry& registry_;
    Services& services_;
    Clock& clock_;
    std::function<bool()> shuttingDown_;
};

}  // namespace zenrun
