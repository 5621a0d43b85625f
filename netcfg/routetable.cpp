#include "netcfg/routetable.h"

#include <QStringList>

namespace zenrun {

void clearrouters(Tmyrouters& table) {
    for (Tmyrouter& r : table) r.destionation.clear();
}

std::optional<std::uint32_t> parsedottedquad(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) return std::nullopt;
    std::uint32_t address = 0;
    for (const QString& p : parts) {
        if (p.isEmpty() || p.size() > 3) return std::nullopt;
        for (const QChar c : p)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        const uint octet = p.toUInt();
        if (octet > 255) return std::nullopt;
        address = (address << 8) | octet;
    }
    return address;
}

std::optional<std::uint32_t> parsemask(const QString& text) {
    const auto m = parsedottedquad(text);
    if (!m) return std::nullopt;
    // Contiguous: the zero bits form a run at the bottom, so ~m + 1 is a power of two.
    const std::uint32_t inverse = ~*m;
    if ((inverse & (inverse + 1)) != 0) return std::nullopt;
    return m;
}

QString dottedquad(std::uint32_t a) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(a >> 24)
        .arg((a >> 16) & 0xFF)
        .arg((a >> 8) & 0xFF)
        .arg(a & 0xFF);
}

}  // namespace zenrun
