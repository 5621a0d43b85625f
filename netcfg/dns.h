#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "netcfg/routetable.h"

namespace zenrun {

struct Session;
class AdapterDns;
class Ras;

// The DNS choices the settings offer.
enum class DnsChoice { Keep, Restore, Google, OpenDns, Secure, Custom };

// The servers of a list as typed ("8.8.8.8, 8.8.4.4": blanks around an item are allowed), or
// nothing when any item is not an IPv4 address. Only such lists are ever written.
std::optional<QStringList> parsednslist(const QString& dnsipgroup);

// The DNS servers of the local adapter (the one behind the local gateway of the routes) and
// of the dial-up adapter (the one holding the link's client address). The local servers are
// captured once at start-up, so they can be put back later.
class Dns {
public:
    // Without a dial-up service (`ras` null) no dial-up adapter is ever found.
    Dns(Session& session, AdapterDns& adapters, Ras* ras, const Tmyrouters& routerlist);

    // Failures of the adapter service are raised (DnsError); callers swallow them.
    void getlocaldns();
    // "aa" hands the adapter back to its lease's servers. A list with an item that is not an
    // IPv4 address writes nothing.
    void setlocaldns(const QString& dnsipgroup);
    void setvpndns(const QString& dnsipgroup);

    // The action of a confirmed choice; `custom` is the typed list of DnsChoice::Custom.
    // Failures are swallowed: a failing write skips the rest of its pair.
    void applychoice(DnsChoice choice, const QString& custom);
    // The servers of a fixed choice ("8.8.8.8,8.8.4.4"); empty for the others.
    static QString serversof(DnsChoice choice);

private:
    bool noroutes() const;
    std::optional<QString> localadapter();
    std::optional<QString> vpnadapter();
    void write(const std::optional<QString>& adapter, const QString& dnsipgroup);

    Session& session_;
    AdapterDns& adapters_;
    Ras* ras_;
    const Tmyrouters& routerlist_;
};

}  // namespace zenrun
