#include "platform/sim/simadapterdns.h"

#include <algorithm>

namespace zenrun {

void SimAdapterDns::check() const {
    if (failing_) throw DnsError("DNS service unavailable");
}

std::vector<NetAdapter> SimAdapterDns::adapters() {
    check();
    return adapters_;
}

QStringList SimAdapterDns::nameServers(const QString& adapter) {
    check();
    return handSet_.value(adapter);
}

QStringList SimAdapterDns::leaseNameServers(const QString& adapter) {
    check();
    return lease_.value(adapter);
}

void SimAdapterDns::setNameServers(const QString& adapter, const QStringList& servers) {
    check();
    checkdnsaddresses(servers);
    const bool known = std::any_of(adapters_.begin(), adapters_.end(),
                                   [&](const NetAdapter& a) { return a.name == adapter; });
    if (!known) throw DnsError("no such adapter: " + adapter.toStdString());
    handSet_[adapter] = servers;
    writes_.append({adapter, servers});
}

void SimAdapterDns::removeAdapter(const QString& name) {
    std::erase_if(adapters_, [&](const NetAdapter& a) { return a.name == name; });
}

}  // namespace zenrun
