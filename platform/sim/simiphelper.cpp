#include "platform/sim/simiphelper.h"

#include <algorithm>
#include <bit>
#include <cerrno>

namespace zenrun {

namespace {
bool routeOrder(const Ipv4Route& a, const Ipv4Route& b) {
    if (a.destination != b.destination) return a.destination < b.destination;
    return a.mask < b.mask;
}
}  // namespace

std::optional<std::vector<Ipv4Route>> SimIpHelper::routeTable() {
    if (!readable_) return std::nullopt;
    std::vector<Ipv4Route> sorted = routes_;
    std::stable_sort(sorted.begin(), sorted.end(), routeOrder);
    return sorted;
}

std::optional<int> SimIpHelper::interfaceFor(std::uint32_t gateway) {
    if (auto n = neighbours_.find(gateway); n != neighbours_.end()) return n->second;
    // Longest prefix wins, then the lowest metric: what the kernel would pick.
    const Ipv4Route* best = nullptr;
    for (const Ipv4Route& r : routes_) {
        if ((gateway & r.mask) != r.destination) continue;
        if (!best || std::popcount(r.mask) > std::popcount(best->mask) ||
            (r.mask == best->mask && r.metric < best->metric))
            best = &r;
    }
    if (!best || best->ifIndex == 0) return std::nullopt;
    return best->ifIndex;
}

int SimIpHelper::addRoute(const Ipv4Route& route) {
    ++addCalls_;
    if (auto f = addFailures_.find(route.destination); f != addFailures_.end()) return f->second;
    if ((route.destination & ~route.mask) != 0 || route.ifIndex <= 0) return EINVAL;
    for (const Ipv4Route& r : routes_)
        if (r.destination == route.destination && r.mask == route.mask && r.metric == route.metric)
            return EEXIST;
    routes_.push_back(route);
    return 0;
}

int SimIpHelper::deleteRoute(const Ipv4Route& route) {
    ++deleteCalls_;
    const auto it = std::find_if(routes_.begin(), routes_.end(),
                                 [&](const Ipv4Route& r) { return r.sameRoute(route); });
    if (it == routes_.end()) return ESRCH;
    routes_.erase(it);
    return 0;
}

}  // namespace zenrun
