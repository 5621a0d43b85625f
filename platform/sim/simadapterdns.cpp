#include "platform/sim/simadapterdns.h"

#include <algorithm>

#include "platform/ras.h"

namespace zenrun {

void SimAdapterDns::check() const {
    if (failing_) throw DnsError("DNS service unavailable");
}

void SimAdapterDns::syncTunnel() {
    if (!links_) return;
    const Ras::Active link = links_->getConnection();
    std::optional<NetAdapter> now;
    if (link.handle != 0)
        if (const auto p = links_->ipProjection(link.handle); p && !p->interfaceName.isEmpty())
            now = NetAdapter{p->interfaceName, 99, p->serverAddress, {p->clientAddress}};
    const auto same = [](const NetAdapter& a, const NetAdapter& b) {
        return a.name == b.name && a.gateway == b.gateway && a.addresses == b.addresses;
    };
    if (tunnel_ && now && same(*tunnel_, *now)) return;
    if (tunnel_) {
        removeAdapter(tunnel_->name);
        handSet_.remove(tunnel_->name);
    }
    tunnel_ = now;
    if (now) addAdapter(*now);
}

std::vector<NetAdapter> SimAdapterDns::adapters() {
    check();
    syncTunnel();
    return adapters_;
}

QStringList SimAdapterDns::nameServers(const QString& adapter) {
    check();
    syncTunnel();
    return handSet_.value(adapter);
}

QStringList SimAdapterDns::leaseNameServers(const QString& adapter) {
    check();
    return lease_.value(adapter);
}

void SimAdapterDns::setNameServers(const QString& adapter, const QStringList& servers) {
    check();
    checkdnsaddresses(servers);
    syncTunnel();
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
