#include "platform/linux/netlinkiphelper.h"

#include <arpa/inet.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <netlink/attr.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>
#include <netlink/socket.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <ctime>
#include <memory>

namespace zenrun {

namespace {

constexpr int kReplyTimeoutSec = 5;
constexpr std::size_t kBatch = 128;  // requests per datagram; their acks fit the receive buffer
constexpr int kBufferBytes = 1 << 20;
constexpr std::size_t kReceiveBytes = std::size_t{256} << 10;

struct MsgFree {
    void operator()(nl_msg* m) const { nlmsg_free(m); }
};
using Msg = std::unique_ptr<nl_msg, MsgFree>;

int prefixOf(std::uint32_t mask) {
    return std::popcount(mask);
}
std::uint32_t maskOf(int prefix) {
    return prefix <= 0 ? 0 : prefix >= 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> prefix);
}

// A request for one route; destination, mask and gateway must already be valid.
Msg routeMessage(const Ipv4Route& r, bool add) {
    const int flags = add ? NLM_F_CREATE | NLM_F_EXCL : 0;
    Msg m(nlmsg_alloc_simple(add ? RTM_NEWROUTE : RTM_DELROUTE, flags));
    if (!m) return m;
    rtmsg rt{};
    rt.rtm_family = AF_INET;
    rt.rtm_dst_len = static_cast<unsigned char>(prefixOf(r.mask));
    rt.rtm_table = RT_TABLE_MAIN;
    rt.rtm_protocol = static_cast<unsigned char>(r.protocol);
    rt.rtm_type = static_cast<unsigned char>(r.type);
    // Deleting matches any scope; a new route through a gateway reaches the whole network.
    rt.rtm_scope = add ? (r.nextHop ? RT_SCOPE_UNIVERSE : RT_SCOPE_LINK) : RT_SCOPE_NOWHERE;
    if (nlmsg_append(m.get(), &rt, sizeof rt, NLMSG_ALIGNTO) < 0 ||
        nla_put_u32(m.get(), RTA_DST, htonl(r.destination)) < 0 ||
        (r.nextHop && nla_put_u32(m.get(), RTA_GATEWAY, htonl(r.nextHop)) < 0) ||
        (r.ifIndex > 0 &&
         nla_put_u32(m.get(), RTA_OIF, static_cast<std::uint32_t>(r.ifIndex)) < 0) ||
        nla_put_u32(m.get(), RTA_PRIORITY, static_cast<std::uint32_t>(r.metric)) < 0)
        return {};
    return m;
}

std::uint32_t attrU32(nlattr* a) {
    return a ? nla_get_u32(a) : 0;
}

// The messages of one received datagram.
std::vector<nlmsghdr*> messagesOf(std::vector<char>& buf, std::size_t size) {
    std::vector<nlmsghdr*> out;
    std::size_t at = 0;
    while (size - at >= sizeof(nlmsghdr)) {
        auto* h = reinterpret_cast<nlmsghdr*>(buf.data() + at);
        if (h->nlmsg_len < sizeof(nlmsghdr) || h->nlmsg_len > size - at) break;
        out.push_back(h);
        at = std::min<std::size_t>(size, at + NLMSG_ALIGN(h->nlmsg_len));
    }
    return out;
}

}  // namespace

NetlinkIpHelper::NetlinkIpHelper() {
    nl_sock* sk = nl_socket_alloc();
    if (!sk) return;
    if (nl_connect(sk, NETLINK_ROUTE) < 0) {
        nl_socket_free(sk);
        return;
    }
    nl_socket_set_buffer_size(sk, kBufferBytes, kBufferBytes);
    const int fd = nl_socket_get_fd(sk);
    const int on = 1;
    setsockopt(fd, SOL_NETLINK, NETLINK_CAP_ACK, &on, sizeof on);
    timeval tv{kReplyTimeoutSec, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sock_ = sk;
    port_ = nl_socket_get_local_port(sk);
    seq_ = static_cast<std::uint32_t>(std::time(nullptr));
}

NetlinkIpHelper::~NetlinkIpHelper() {
    if (sock_) nl_socket_free(sock_);
}

int NetlinkIpHelper::query(nl_msg* msg, bool dump, const std::function<void(nlmsghdr*)>& each) {
    if (!sock_ || !msg) return EIO;
    nlmsghdr* h = nlmsg_hdr(msg);
    h->nlmsg_flags |= NLM_F_REQUEST | (dump ? NLM_F_DUMP : 0);
    h->nlmsg_seq = nextSeq();
    h->nlmsg_pid = port_;
    const int fd = nl_socket_get_fd(sock_);
    if (send(fd, h, h->nlmsg_len, 0) < 0) return errno;
    std::vector<char> buf(kReceiveBytes);
    for (;;) {
        const ssize_t n = recv(fd, buf.data(), buf.size(), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EAGAIN ? ETIMEDOUT : errno;
        }
        for (nlmsghdr* r : messagesOf(buf, static_cast<std::size_t>(n))) {
            if (r->nlmsg_seq != h->nlmsg_seq) continue;  // late answer to an abandoned request
            if (r->nlmsg_type == NLMSG_DONE) return 0;
            if (r->nlmsg_type == NLMSG_ERROR) {
                const auto* e = static_cast<const nlmsgerr*>(NLMSG_DATA(r));
                return -e->error;
            }
            each(r);
            if (!dump) return 0;
        }
    }
}

std::optional<std::vector<Ipv4Route>> NetlinkIpHelper::routeTable() {
    Msg m(nlmsg_alloc_simple(RTM_GETROUTE, 0));
    rtmsg req{};
    req.rtm_family = AF_INET;
    if (!m || nlmsg_append(m.get(), &req, sizeof req, NLMSG_ALIGNTO) < 0) return std::nullopt;
    std::vector<Ipv4Route> rows;
    const int err = query(m.get(), true, [&](nlmsghdr* h) {
        if (h->nlmsg_type != RTM_NEWROUTE) return;
        nlattr* tb[RTA_MAX + 1];
        if (nlmsg_parse(h, sizeof(rtmsg), tb, RTA_MAX, nullptr) < 0) return;
        const auto* rt = static_cast<const rtmsg*>(nlmsg_data(h));
        const std::uint32_t table = tb[RTA_TABLE] ? nla_get_u32(tb[RTA_TABLE]) : rt->rtm_table;
        if (rt->rtm_family != AF_INET || table != RT_TABLE_MAIN || (rt->rtm_flags & RTM_F_CLONED))
            return;
        Ipv4Route r;
        r.mask = maskOf(rt->rtm_dst_len);
        r.destination = ntohl(attrU32(tb[RTA_DST])) & r.mask;
        r.nextHop = ntohl(attrU32(tb[RTA_GATEWAY]));
        r.ifIndex = static_cast<int>(attrU32(tb[RTA_OIF]));
        r.metric = static_cast<int>(attrU32(tb[RTA_PRIORITY]));
        r.type = rt->rtm_type;
        r.protocol = rt->rtm_protocol;
        if (tb[RTA_MULTIPATH] &&
            nla_len(tb[RTA_MULTIPATH]) >= static_cast<int>(sizeof(rtnexthop))) {
            // A multipath route: its first hop stands for it.
            const auto* nh = static_cast<const rtnexthop*>(nla_data(tb[RTA_MULTIPATH]));
            r.ifIndex = nh->rtnh_ifindex;
            nlattr* sub[RTA_MAX + 1];
            const int len = nh->rtnh_len - static_cast<int>(RTNH_LENGTH(0));
            if (len > 0 && nla_parse(sub, RTA_MAX, reinterpret_cast<nlattr*>(RTNH_DATA(nh)), len,
                                     nullptr) == 0)
                r.nextHop = ntohl(attrU32(sub[RTA_GATEWAY]));
        }
        rows.push_back(r);
    });
    if (err != 0) return std::nullopt;
    std::stable_sort(rows.begin(), rows.end(), [](const Ipv4Route& a, const Ipv4Route& b) {
        return a.destination != b.destination ? a.destination < b.destination : a.mask < b.mask;
    });
    return rows;
}

std::optional<int> NetlinkIpHelper::interfaceFor(std::uint32_t gateway) {
    std::optional<int> found;
    {
        Msg m(nlmsg_alloc_simple(RTM_GETNEIGH, 0));
        ndmsg nd{};
        nd.ndm_family = AF_INET;
        if (!m || nlmsg_append(m.get(), &nd, sizeof nd, NLMSG_ALIGNTO) < 0) return std::nullopt;
        query(m.get(), true, [&](nlmsghdr* h) {
            if (found || h->nlmsg_type != RTM_NEWNEIGH) return;
            nlattr* tb[NDA_MAX + 1];
            if (nlmsg_parse(h, sizeof(ndmsg), tb, NDA_MAX, nullptr) < 0 || !tb[NDA_DST]) return;
            const auto* n = static_cast<const ndmsg*>(nlmsg_data(h));
            if (n->ndm_family == AF_INET && nla_len(tb[NDA_DST]) == 4 &&
                ntohl(nla_get_u32(tb[NDA_DST])) == gateway && !(n->ndm_state & NUD_FAILED))
                found = n->ndm_ifindex;
        });
    }
    if (found) return found;
    // Not in the cache (yet): ask the kernel which interface it would use.
    Msg m(nlmsg_alloc_simple(RTM_GETROUTE, 0));
    rtmsg rt{};
    rt.rtm_family = AF_INET;
    rt.rtm_dst_len = 32;
    if (!m || nlmsg_append(m.get(), &rt, sizeof rt, NLMSG_ALIGNTO) < 0 ||
        nla_put_u32(m.get(), RTA_DST, htonl(gateway)) < 0)
        return std::nullopt;
    query(m.get(), false, [&](nlmsghdr* h) {
        nlattr* tb[RTA_MAX + 1];
        if (h->nlmsg_type == RTM_NEWROUTE &&
            nlmsg_parse(h, sizeof(rtmsg), tb, RTA_MAX, nullptr) == 0 && tb[RTA_OIF])
            found = static_cast<int>(nla_get_u32(tb[RTA_OIF]));
    });
    return found;
}

int NetlinkIpHelper::addRoute(const Ipv4Route& route) {
    return change({route}, true).front();
}
int NetlinkIpHelper::deleteRoute(const Ipv4Route& route) {
    return change({route}, false).front();
}
std::vector<int> NetlinkIpHelper::addRoutes(const std::vector<Ipv4Route>& routes) {
    return change(routes, true);
}
std::vector<int> NetlinkIpHelper::deleteRoutes(const std::vector<Ipv4Route>& routes) {
    return change(routes, false);
}

std::vector<int> NetlinkIpHelper::change(const std::vector<Ipv4Route>& routes, bool add) {
    std::vector<int> results(routes.size(), EIO);
    if (!sock_) return results;
    const int fd = nl_socket_get_fd(sock_);
    std::vector<char> out;
    std::vector<char> in(kReceiveBytes);
    for (std::size_t from = 0; from < routes.size(); from += kBatch) {
        const std::size_t to = std::min(routes.size(), from + kBatch);
        const std::uint32_t firstSeq = seq_ + 1;
        std::vector<bool> pending(to - from, false);
        std::size_t waiting = 0;
        out.clear();
        for (std::size_t i = from; i < to; ++i) {
            const std::uint32_t seq = nextSeq();
            Msg m = routeMessage(routes[i], add);
            if (!m) continue;
            nlmsghdr* h = nlmsg_hdr(m.get());
            h->nlmsg_flags |= NLM_F_REQUEST | NLM_F_ACK;
            h->nlmsg_seq = seq;
            h->nlmsg_pid = port_;
            const auto* bytes = reinterpret_cast<const char*>(h);
            out.insert(out.end(), bytes, bytes + NLMSG_ALIGN(h->nlmsg_len));
            pending[i - from] = true;
            ++waiting;
        }
        if (waiting == 0) continue;
        if (send(fd, out.data(), out.size(), 0) < 0) {
            const int e = errno;
            for (std::size_t i = from; i < to; ++i) results[i] = e;
            continue;
        }
        while (waiting > 0) {
            const ssize_t n = recv(fd, in.data(), in.size(), 0);
            if (n < 0) {
                if (errno == EINTR) continue;
                const int e = errno == EAGAIN ? ETIMEDOUT : errno;
                for (std::size_t k = 0; k < pending.size(); ++k)
                    if (pending[k]) results[from + k] = e;
                break;
            }
            for (nlmsghdr* r : messagesOf(in, static_cast<std::size_t>(n))) {
                const std::uint32_t k = r->nlmsg_seq - firstSeq;
                if (r->nlmsg_type != NLMSG_ERROR || k >= pending.size() || !pending[k]) continue;
                results[from + k] = -static_cast<const nlmsgerr*>(NLMSG_DATA(r))->error;
                pending[k] = false;
                --waiting;
            }
        }
    }
    return results;
}

}  // namespace zenrun
