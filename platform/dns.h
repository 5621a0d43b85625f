#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

namespace zenrun {

// One network adapter as the DNS settings see it.
struct NetAdapter {
    QString name;           // the interface: "eth0", "ppp0", ...
    int index = 0;          // interface index
    QString gateway;        // next hop of its lowest-destination route, dotted quad; may be empty
    QStringList addresses;  // its IPv4 addresses, dotted quads, first the primary
};

// A listing or a write that failed: the service cannot be reached, it refused the change, or
// a server is not an IPv4 address.
class DnsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The adapters and the DNS servers each one uses. Two lists per adapter: the servers set by
// hand, which win when present, and the servers that came with the address lease. Server
// lists hold dotted quads only; every implementation refuses anything else before it reaches
// a file or another program.
class AdapterDns {
public:
    virtual ~AdapterDns() = default;
    // In interface-index order. Raises DnsError when the adapters cannot be listed.
    virtual std::vector<NetAdapter> adapters() = 0;
    // The servers set by hand (empty when none). Raises DnsError.
    virtual QStringList nameServers(const QString& adapter) = 0;
    // The servers of the lease (empty when none or unknown). Raises DnsError.
    virtual QStringList leaseNameServers(const QString& adapter) = 0;
    // Replaces the servers set by hand; an empty list hands the adapter back to its lease's
    // servers. Raises DnsError, and then nothing was changed.
    virtual void setNameServers(const QString& adapter, const QStringList& servers) = 0;
};

// A strict dotted quad: four decimal octets 0-255, nothing around them.
bool isdnsaddress(const QString& text);
// Raises DnsError unless every item is a strict dotted quad.
void checkdnsaddresses(const QStringList& servers);

}  // namespace zenrun
