#include "platform/linux/pppdexit.h"

#include <array>

#include "platform/ras.h"

namespace zenrun::pppd {

namespace {

// Codes beyond the ones the callers name, with the meaning they have in the numbering we keep.
constexpr int kPppNegotiationFailed = 720;  // no control protocol came up
constexpr int kLoopbackDetected = 737;
constexpr int kServerNotAuthenticated = 930;  // the server failed to prove itself

struct Row {
    int code;
    const char* reason;
};

// One row per exit status of pppd 2.4 (EXIT STATUS in its manual), in order.
constexpr std::array<Row, 20> kTable{{
    {rascode::kRemoteDisconnection, "the link was ended at the peer's request"},       // 0
    {rascode::kHardwareFailure, "pppd met an immediately fatal error"},                // 1
    {rascode::kPortNotAvailable, "pppd refused its options"},                          // 2
    {rascode::kPortNotAvailable, "pppd is not setuid-root and the user is not root"},  // 3
    {rascode::kPortNotAvailable,
     "this system has no kernel PPP support (/dev/ppp, module ppp_generic)"},     // 4
    {rascode::kUserDisconnection, "pppd was stopped by a signal"},                // 5
    {rascode::kPortNotAvailable, "the serial port could not be locked"},          // 6
    {rascode::kPortNotAvailable, "the serial port could not be opened"},          // 7
    {rascode::kNoResponses, "the connect script failed"},                         // 8
    {rascode::kNoResponses, "the tunnel program could not be run"},               // 9
    {kPppNegotiationFailed, "the PPP negotiation failed"},                        // 10
    {kServerNotAuthenticated, "the server failed to authenticate itself"},        // 11
    {rascode::kIdleDisconnected, "the link was idle"},                            // 12
    {rascode::kRemoteDisconnection, "the connect time limit was reached"},        // 13
    {rascode::kRemoteDisconnection, "the server asked to call back"},             // 14
    {rascode::kIdleDisconnected, "the peer is not responding to echo requests"},  // 15
    {rascode::kNoResponses, "the tunnel closed (the line hung up)"},              // 16
    {kLoopbackDetected, "the link loops back to this computer"},                  // 17
    {rascode::kNoResponses, "the init script failed"},                            // 18
    {rascode::kAuthenticationFailure, "we failed to authenticate to the peer"},   // 19
}};

}  // namespace

ExitMeaning exitMeaning(int status) {
    if (status < 0) return {rascode::kHardwareFailure, QStringLiteral("pppd was killed")};
    if (status >= static_cast<int>(kTable.size()))
        return {rascode::kHardwareFailure, QStringLiteral("pppd ended with status %1").arg(status)};
    const Row& r = kTable[static_cast<std::size_t>(status)];
    return {r.code, QString::fromLatin1(r.reason)};
}

}  // namespace zenrun::pppd
