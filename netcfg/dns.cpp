#include "netcfg/dns.h"

#include "core/session.h"
#include "platform/dns.h"
#include "platform/ras.h"

namespace zenrun {

namespace {
const QString kRemoveHandSet = QStringLiteral("aa");
}

std::optional<QStringList> parsednslist(const QString& dnsipgroup) {
    QStringList out;
    for (const QString& item : dnsipgroup.split(QLatin1Char(','))) {
        const QString addr = item.trimmed();
        if (!parsedottedquad(addr)) return std::nullopt;
        out << addr;
    }
    return out;
}

Dns::Dns(Session& session, AdapterDns& adapters, Ras* ras, const Tmyrouters& routerlist)
    : session_(session), adapters_(adapters), ras_(ras), routerlist_(routerlist) {}

// Without entry 0 there is no local gateway to recognise the local adapter by.
bool Dns::noroutes() const {
    return routerlist_.empty() || routerlist_[0].destionation.isEmpty();
}

std::optional<QString> Dns::localadapter() {
    if (noroutes()) return std::nullopt;
    const QString gateway = routerlist_[0].gateway;
    for (const NetAdapter& a : adapters_.adapters())
        if (!a.gateway.isEmpty() && a.gateway == gateway) return a.name;
    return std::nullopt;
}

// The address must be the link's own: 10.0.0.1 is not found in an adapter holding 10.0.0.12.
std::optional<QString> Dns::vpnadapter() {
    if (noroutes() || !ras_) return std::nullopt;
    const auto projection = ras_->ipProjection(session_.connhandle);
    if (!projection || projection->clientAddress.isEmpty()) return std::nullopt;
    for (const NetAdapter& a : adapters_.adapters())
        if (a.addresses.contains(projection->clientAddress)) return a.name;
    return std::nullopt;
}

void Dns::getlocaldns() {
    const auto adapter = localadapter();
    if (!adapter) return;
    const QStringList handSet = adapters_.nameServers(*adapter);
    session_.localdnsip = handSet.join(QLatin1Char(','));
    session_.localdnstype = QStringLiteral("2");
    if (!session_.localdnsip.isEmpty()) return;
    session_.localdnsip = adapters_.leaseNameServers(*adapter).join(QLatin1Char(','));
    session_.localdnstype = QStringLiteral("3");
}

void Dns::write(const std::optional<QString>& adapter, const QString& dnsipgroup) {
    if (noroutes()) return;
    std::optional<QStringList> servers;
    if (dnsipgroup == kRemoveHandSet)
        servers = QStringList{};
    else
        servers = parsednslist(dnsipgroup);
    if (!servers) return;
    if (adapter) adapters_.setNameServers(*adapter, *servers);
    session_.dnschanged = QStringLiteral("2");
}

void Dns::setlocaldns(const QString& dnsipgroup) {
    if (noroutes()) return;
    write(localadapter(), dnsipgroup);
}

void Dns::setvpndns(const QString& dnsipgroup) {
    if (noroutes()) return;
    write(vpnadapter(), dnsipgroup);
}

QString Dns::serversof(DnsChoice choice) {
    switch (choice) {
        case DnsChoice::Google:
            return QStringLiteral("8.8.8.8,8.8.4.4");
        case DnsChoice::OpenDns:
            return QStringLiteral("208.67.222.222,208.67.220.220");
        case DnsChoice::Secure:
            return QStringLiteral("114.114.114.119,114.114.115.119");
        default:
            return {};
    }
}

void Dns::applychoice(DnsChoice choice, const QString& custom) {
    try {
        switch (choice) {
            case DnsChoice::Keep:
                return;
            case DnsChoice::Restore:
                // Only what this run changed is put back, and only on the local adapter.
                if (session_.dnschanged != QLatin1String("2")) return;
                if (session_.localdnstype == QLatin1String("2"))
                    setlocaldns(session_.localdnsip);
                else if (session_.localdnstype == QLatin1String("3"))
                    setlocaldns(kRemoveHandSet);
                return;
            case DnsChoice::Custom:
                setlocaldns(custom);
                setvpndns(custom);
                return;
            default:
                setlocaldns(serversof(choice));
                setvpndns(serversof(choice));
                return;
        }
    } catch (...) {
        // DNS failures are not reported; the setting simply stays as it was.
    }
}

}  // namespace zenrun
