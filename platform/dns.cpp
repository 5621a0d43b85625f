#include "platform/dns.h"

namespace zenrun {

bool isdnsaddress(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) return false;
    for (const QString& p : parts) {
        if (p.isEmpty() || p.size() > 3) return false;
        for (const QChar c : p)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        if (p.toInt() > 255) return false;
    }
    return true;
}

void checkdnsaddresses(const QStringList& servers) {
    for (const QString& s : servers)
        if (!isdnsaddress(s)) throw DnsError("not an IPv4 DNS server: " + s.toStdString());
}

}  // namespace zenrun
