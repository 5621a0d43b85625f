#pragma once

#include <map>
#include <set>

#include "platform/iphelper.h"

namespace zenrun {

// An in-memory routing table and neighbour cache. Adding refuses a second route with the
// same destination, mask and metric, and a destination with bits outside its mask, as the
// kernel does; deleting needs an exact match.
class SimIpHelper : public IpHelper {
  public:
    std::optional<std::vector<Ipv4Route>> routeTable() override;
    std::optional<int> interfaceFor(std::uint32_t gateway) override;
    int addRoute(const Ipv4Route& route) override;
    int deleteRoute(const Ipv4Route& route) override;

    // Driving API for tests and the demo.
    void setRoutes(std::vector<Ipv4Route> routes) { routes_ = std::move(routes); }
    const std::vector<Ipv4Route>& routes() const { return routes_; }  // unordered
    void setNeighbour(std::uint32_t address, int ifIndex) { neighbours_[address] = ifIndex; }
    void setTableReadable(bool readable) { readable_ = readable; }
    void failAdd(std::uint32_t destination, int error) { addFailures_[destination] = error; }
    int addCalls() const { return addCalls_; }
    int deleteCalls() const { return deleteCalls_; }

  private:
    std::vector<Ipv4Route> routes_;
    std::map<std::uint32_t, int> neighbours_;
    std::map<std::uint32_t, int> addFailures_;
    bool readable_ = true;
    int addCalls_ = 0;
    int deleteCalls_ = 0;
};

}  // namespace zenrun
