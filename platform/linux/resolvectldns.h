#pragma once

#include <QString>
#include <functional>

#include "platform/dns.h"

namespace zenrun {

// Per-link DNS servers of systemd-resolved, through `resolvectl` (arguments as a list, never a
// shell). Meant for a link no manager owns, like our ppp tunnel: the servers live as long as
// the link does, and the resolver file is left alone. The list serves every domain ("~."),
// so names are asked through the tunnel too; an empty list reverts the link. A link has no
// lease here.
class ResolvectlDns : public AdapterDns {
public:
    using Lister = std::function<std::vector<NetAdapter>()>;
    explicit ResolvectlDns(Lister lister, QString program = QStringLiteral("resolvectl"));

    std::vector<NetAdapter> adapters() override { return lister_(); }
    QStringList nameServers(const QString& adapter) override;
    QStringList leaseNameServers(const QString&) override { return {}; }
    void setNameServers(const QString& adapter, const QStringList& servers) override;

    // Whether systemd-resolved runs (its socket is there).
    static bool running();

private:
    QString run(const QStringList& args) const;

    Lister lister_;
    QString program_;
};

}  // namespace zenrun
