#pragma once

#include <functional>

#include "platform/iphelper.h"

struct nl_sock;
struct nl_msg;
struct nlmsghdr;

namespace zenrun {

// The host's routing table through rtnetlink (libnl-route). The socket is opened by the
// constructor and stays bound to the network namespace of the thread that built the object.
// Additions and deletions are pipelined: many requests go out in one datagram and their
// acknowledgements are matched by sequence number, so thousands of routes cost a few
// system calls rather than one round trip each.
class NetlinkIpHelper : public IpHelper {
  public:
    NetlinkIpHelper();
    ~NetlinkIpHelper() override;
    NetlinkIpHelper(const NetlinkIpHelper&) = delete;
    NetlinkIpHelper& operator=(const NetlinkIpHelper&) = delete;

    bool isOpen() const { return sock_ != nullptr; }

    std::optional<std::vector<Ipv4Route>> routeTable() override;
    std::optional<int> interfaceFor(std::uint32_t gateway) override;
    int addRoute(const Ipv4Route& route) override;
    int deleteRoute(const Ipv4Route& route) override;
    std::vector<int> addRoutes(const std::vector<Ipv4Route>& routes) override;
    std::vector<int> deleteRoutes(const std::vector<Ipv4Route>& routes) override;

  private:
    std::vector<int> change(const std::vector<Ipv4Route>& routes, bool add);
    // Sends one request; every reply message goes to `each`. 0 or an errno value.
    int query(nl_msg* msg, bool dump, const std::function<void(nlmsghdr*)>& each);
    std::uint32_t nextSeq() { return ++seq_; }

    nl_sock* sock_ = nullptr;
    std::uint32_t port_ = 0;
    std::uint32_t seq_ = 0;
};

}  // namespace zenrun
