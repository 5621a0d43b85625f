#include "platform/linux/netlinkadapters.h"

#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <netlink/addr.h>
#include <netlink/cache.h>
#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <netlink/route/link.h>
#include <netlink/socket.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/iphelper.h"

namespace zenrun {

namespace {
struct SockFree {
    void operator()(nl_sock* s) const { nl_socket_free(s); }
};
struct CacheFree {
    void operator()(nl_cache* c) const { nl_cache_free(c); }
};

QString quad(std::uint32_t hostOrder) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(hostOrder >> 24)
        .arg((hostOrder >> 16) & 0xFF)
        .arg((hostOrder >> 8) & 0xFF)
        .arg(hostOrder & 0xFF);
}
}  // namespace

std::vector<NetAdapter> listnetlinkadapters(IpHelper& routes) {
    std::unique_ptr<nl_sock, SockFree> sk(nl_socket_alloc());
    if (!sk || nl_connect(sk.get(), NETLINK_ROUTE) < 0) throw DnsError("netlink unavailable");
    nl_cache* raw = nullptr;
    if (rtnl_link_alloc_cache(sk.get(), AF_UNSPEC, &raw) < 0) throw DnsError("links unreadable");
    std::unique_ptr<nl_cache, CacheFree> links(raw);
    raw = nullptr;
    if (rtnl_addr_alloc_cache(sk.get(), &raw) < 0) throw DnsError("addresses unreadable");
    std::unique_ptr<nl_cache, CacheFree> addrs(raw);

    std::map<int, NetAdapter> byIndex;
    for (nl_object* o = nl_cache_get_first(links.get()); o; o = nl_cache_get_next(o)) {
        auto* link = reinterpret_cast<rtnl_link*>(o);
        NetAdapter a;
        a.index = rtnl_link_get_ifindex(link);
        a.name = QString::fromLocal8Bit(rtnl_link_get_name(link));
        byIndex[a.index] = a;
    }
    for (nl_object* o = nl_cache_get_first(addrs.get()); o; o = nl_cache_get_next(o)) {
        auto* addr = reinterpret_cast<rtnl_addr*>(o);
        if (rtnl_addr_get_family(addr) != AF_INET) continue;
        nl_addr* local = rtnl_addr_get_local(addr);
        if (!local || nl_addr_get_len(local) != 4) continue;
        std::uint32_t net = 0;
        std::memcpy(&net, nl_addr_get_binary_addr(local), 4);
        const auto it = byIndex.find(rtnl_addr_get_ifindex(addr));
        if (it == byIndex.end()) continue;
        // The primary address first, as the adapter listing puts it.
        const QString text = quad(ntohl(net));
        if (rtnl_addr_get_flags(addr) & IFA_F_SECONDARY)
            it->second.addresses.append(text);
        else
            it->second.addresses.prepend(text);
    }
    // The table comes ordered by destination, so the first hop seen per interface is the
    // lowest destination's, as the local gateway is taken for the routes.
    if (const auto table = routes.routeTable()) {
        for (const Ipv4Route& r : *table) {
            const auto it = byIndex.find(r.ifIndex);
            if (r.nextHop == 0 || it == byIndex.end() || !it->second.gateway.isEmpty()) continue;
            it->second.gateway = quad(r.nextHop);
        }
    }
    std::vector<NetAdapter> out;
    out.reserve(byIndex.size());
    for (auto& [index, a] : byIndex) out.push_back(std::move(a));
    return out;
}

}  // namespace zenrun
