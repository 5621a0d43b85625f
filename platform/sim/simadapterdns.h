#pragma once

#include <QMap>
#include <QStringList>
#include <optional>

#include "platform/dns.h"

namespace zenrun {

class Ras;

// Adapters and their DNS lists in memory. The driving API sets the adapters and both lists,
// makes calls fail, and tells which writes were made.
class SimAdapterDns : public AdapterDns {
public:
    std::vector<NetAdapter> adapters() override;
    QStringList nameServers(const QString& adapter) override;
    QStringList leaseNameServers(const QString& adapter) override;
    void setNameServers(const QString& adapter, const QStringList& servers) override;

    // --- Driving API
    void setAdapters(std::vector<NetAdapter> adapters) { adapters_ = std::move(adapters); }
    void addAdapter(NetAdapter adapter) { adapters_.push_back(std::move(adapter)); }
    void removeAdapter(const QString& name);
    void setHandSet(const QString& adapter, const QStringList& servers) {
        handSet_[adapter] = servers;
    }
    void setLease(const QString& adapter, const QStringList& servers) { lease_[adapter] = servers; }
    // While a link of `ras` is up, its interface is one more adapter (the link's address, the
    // peer as gateway), as a tunnel appears on a real host; it goes, hand-set servers and
    // all, when the link ends.
    void followLinks(Ras& ras) { links_ = &ras; }
    // Every later call raises DnsError while failing.
    void setFailing(bool failing) { failing_ = failing; }

    struct Write {
        QString adapter;
        QStringList servers;
        bool operator==(const Write&) const = default;
    };
    const QList<Write>& writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }

private:
    void check() const;
    void syncTunnel();

    std::vector<NetAdapter> adapters_;
    QMap<QString, QStringList> handSet_;
    QMap<QString, QStringList> lease_;
    QList<Write> writes_;
    bool failing_ = false;
    Ras* links_ = nullptr;
    std::optional<NetAdapter> tunnel_;
};

}  // namespace zenrun
