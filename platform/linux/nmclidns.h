#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/dns.h"

namespace zenrun {

// DNS servers of the adapters NetworkManager manages, through `nmcli` (arguments passed as a
// list, never through a shell). An adapter's active connection holds the hand-set list
// (ipv4.dns, kept with the connection as the system's own setting is); the lease's servers
// are the DHCP option of the device. Writing a list also stops the lease's servers from being
// added (ipv4.ignore-auto-dns), an empty list lets them back, and the device is re-applied so
// the change takes effect at once. Adapters no connection of NetworkManager owns (our own ppp
// link) are handed to `unowned`.
class NmcliDns : public AdapterDns {
public:
    using Lister = std::function<std::vector<NetAdapter>()>;
    NmcliDns(Lister lister, std::unique_ptr<AdapterDns> unowned,
             QString program = QStringLiteral("nmcli"));

    std::vector<NetAdapter> adapters() override { return lister_(); }
    QStringList nameServers(const QString& adapter) override;
    QStringList leaseNameServers(const QString& adapter) override;
    void setNameServers(const QString& adapter, const QStringList& servers) override;

    // Whether NetworkManager answers and runs.
    static bool running(const QString& program = QStringLiteral("nmcli"));

private:
    QString run(const QStringList& args) const;
    // The UUID of the adapter's active connection; empty when it has none.
    QString connectionOf(const QString& adapter) const;

    Lister lister_;
    std::unique_ptr<AdapterDns> unowned_;
    QString program_;
};

}  // namespace zenrun
