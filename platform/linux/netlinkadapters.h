#pragma once

#include <vector>

#include "platform/dns.h"

namespace zenrun {

class IpHelper;

// The host's adapters through rtnetlink: every interface with its IPv4 addresses, and as its
// gateway the next hop of its lowest-destination route in the main table (the default route,
// where it has one). Raises DnsError when the kernel cannot be asked.
std::vector<NetAdapter> listnetlinkadapters(IpHelper& routes);

}  // namespace zenrun
