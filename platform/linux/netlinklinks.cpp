#include "platform/linux/netlinklinks.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netlink/addr.h>
#include <netlink/cache.h>
#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <netlink/route/link.h>
#include <netlink/socket.h>
#include <sys/socket.h>

#include <QSocketNotifier>
#include <cerrno>

namespace zenrun {

namespace {

QString ipv4Text(nl_addr* a) {
    if (!a || nl_addr_get_family(a) != AF_INET || nl_addr_get_len(a) != 4) return {};
    char buf[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, nl_addr_get_binary_addr(a), buf, sizeof buf)) return {};
    return QString::fromLatin1(buf);
}

}  // namespace

NetlinkLinks::NetlinkLinks() {
    nl_sock* q = nl_socket_alloc();
    if (!q) return;
    if (nl_connect(q, NETLINK_ROUTE) < 0) {
        nl_socket_free(q);
        return;
    }
    query_ = q;

    nl_sock* ev = nl_socket_alloc();
    if (!ev) return;
    nl_socket_disable_seq_check(ev);
    if (nl_connect(ev, NETLINK_ROUTE) < 0 ||
        nl_socket_add_memberships(ev, RTNLGRP_LINK, RTNLGRP_IPV4_IFADDR, 0) < 0) {
        nl_socket_free(ev);
        return;
    }
    nl_socket_set_nonblocking(ev);
    events_ = ev;
    notifier_ = std::make_unique<QSocketNotifier>(nl_socket_get_fd(ev), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        drain();
        if (onChange) onChange();
    });
}

NetlinkLinks::~NetlinkLinks() {
    notifier_.reset();
    if (events_) nl_socket_free(events_);
    if (query_) nl_socket_free(query_);
}

// The notices only say "look again"; their content is read back through find().
void NetlinkLinks::drain() {
    char buf[16384];
    const int fd = nl_socket_get_fd(events_);
    for (;;) {
        const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n > 0) continue;
        if (n < 0 && errno == EINTR) continue;
        break;  // empty, or ENOBUFS after an overrun: a fresh look covers both
    }
}

std::optional<NetlinkLinks::Link> NetlinkLinks::find(const QString& ifname) const {
    if (!query_ || ifname.isEmpty()) return std::nullopt;
    rtnl_link* link = nullptr;
    if (rtnl_link_get_kernel(query_, 0, ifname.toLocal8Bit().constData(), &link) < 0 || !link)
        return std::nullopt;
    Link out;
    out.index = rtnl_link_get_ifindex(link);
    const unsigned flags = rtnl_link_get_flags(link);
    out.up = (flags & IFF_UP) && (flags & IFF_RUNNING);
    out.txBytes = rtnl_link_get_stat(link, RTNL_LINK_TX_BYTES);
    out.rxBytes = rtnl_link_get_stat(link, RTNL_LINK_RX_BYTES);
    rtnl_link_put(link);

    nl_cache* cache = nullptr;
    if (rtnl_addr_alloc_cache(query_, &cache) == 0) {
        for (nl_object* o = nl_cache_get_first(cache); o; o = nl_cache_get_next(o)) {
            auto* a = reinterpret_cast<rtnl_addr*>(o);
            if (rtnl_addr_get_ifindex(a) != out.index || rtnl_addr_get_family(a) != AF_INET)
                continue;
            out.local = ipv4Text(rtnl_addr_get_local(a));
            out.peer = ipv4Text(rtnl_addr_get_peer(a));
            break;
        }
        nl_cache_free(cache);
    }
    return out;
}

}  // namespace zenrun
