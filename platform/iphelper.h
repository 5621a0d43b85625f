#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zenrun {

// One IPv4 route of the main routing table. Addresses and masks are in host byte order
// (192.168.1.1 is 0xC0A80101).
struct Ipv4Route {
    std::uint32_t destination = 0;
    std::uint32_t mask = 0;
    std::uint32_t nextHop = 0;  // 0: directly connected, no gateway
    int ifIndex = 0;
    int type = 1;      // RTN_* (1 = unicast)
    int protocol = 0;  // RTPROT_*: who installed the route
    int metric = 0;    // priority; lower wins

    // Everything that tells two routes apart for deletion.
    bool sameRoute(const Ipv4Route& o) const {
        return destination == o.destination && mask == o.mask && nextHop == o.nextHop &&
               ifIndex == o.ifIndex && protocol == o.protocol && metric == o.metric;
    }
};

// Routes the client installs carry this protocol mark, so they can always be told apart
// from routes of the system or of other programs ("ip route show proto 231").
inline constexpr int kZenrunRouteProtocol = 0xE7;

// The host's IPv4 routing table and neighbour cache.
class IpHelper {
  public:
    virtual ~IpHelper() = default;

    // The main table, ordered by destination (ascending), then by mask from the widest.
    // Empty optional when the table cannot be read.
    virtual std::optional<std::vector<Ipv4Route>> routeTable() = 0;

    // The interface that reaches `gateway`: its neighbour-cache entry first, otherwise the
    // interface the kernel would send a packet for it through. Empty when neither knows.
    virtual std::optional<int> interfaceFor(std::uint32_t gateway) = 0;

    // Adds one route; never replaces an existing route with the same destination, mask and
    // metric. Returns 0 or an errno value (EEXIST, ENETUNREACH, EINVAL, EPERM, ...).
    virtual int addRoute(const Ipv4Route& route) = 0;
    // Deletes the route that matches every field of `route`. 0 or an errno value (ESRCH when
    // no such route exists).
    virtual int deleteRoute(const Ipv4Route& route) = 0;

    // The same for many routes at once; one result per route, in order. Implementations may
    // batch the requests.
    virtual std::vector<int> addRoutes(const std::vector<Ipv4Route>& routes) {
        std::vector<int> r;
        r.reserve(routes.size());
        for (const Ipv4Route& x : routes) r.push_back(addRoute(x));
        return r;
    }
    virtual std::vector<int> deleteRoutes(const std::vector<Ipv4Route>& routes) {
        std::vector<int> r;
        r.reserve(routes.size());
        for (const Ipv4Route& x : routes) r.push_back(deleteRoute(x));
        return r;
    }
};

}  // namespace zenrun
