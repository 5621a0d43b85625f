#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace zenrun {

// One route of the chosen mode, as text. An empty `destionation` marks a free entry.
struct Tmyrouter {
    QString destionation;
    QString mask;
    QString gateway;
};

// The route table of the chosen mode: always kRouterCount entries, filled in place.
using Tmyrouters = std::vector<Tmyrouter>;
inline constexpr int kRouterCount = 2000;

// Empties every entry's destination; mask and gateway stay as they were.
void clearrouters(Tmyrouters& table);

// Strict dotted quad ("a.b.c.d", four decimal octets 0-255, nothing else) to an address in
// host byte order. Anything else is empty rather than some address.
std::optional<std::uint32_t> parsedottedquad(const QString& text);
// A network mask: a valid dotted quad whose one-bits are contiguous from the top.
std::optional<std::uint32_t> parsemask(const QString& text);
QString dottedquad(std::uint32_t address);

}  // namespace zenrun
