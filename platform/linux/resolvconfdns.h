#pragma once

#include <QString>
#include <functional>

#include "platform/dns.h"

namespace zenrun {

// DNS servers in the resolver file, where no manager keeps DNS per adapter. The file is one
// for all adapters, so every adapter reads and writes the same list. Before the first change
// the file as it was (or the link it was) is copied to `copyPath`; the servers written are
// the hand-set list, the copy's servers the lease's, and an empty list puts the copy back.
// Writes replace the file atomically, so a reader never sees half of it.
class ResolvConfDns : public AdapterDns {
public:
    using Lister = std::function<std::vector<NetAdapter>()>;
    ResolvConfDns(Lister lister, QString path, QString copyPath);

    std::vector<NetAdapter> adapters() override { return lister_(); }
    QStringList nameServers(const QString& adapter) override;
    QStringList leaseNameServers(const QString& adapter) override;
    void setNameServers(const QString& adapter, const QStringList& servers) override;

    // The first line of a file this class wrote.
    static const QString kMarker;

private:
    bool ours() const;
    void keepCopy();
    void putCopyBack();

    Lister lister_;
    QString path_;
    QString copyPath_;
};

}  // namespace zenrun
