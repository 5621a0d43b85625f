#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace zenrun {

// The counter slot the supervision reads the link's traffic from.
inline constexpr int kTrafficSlot = 2;

// Bytes in whole units of 1000, rounded to the nearest (a half rounds up): 1499 -> "1",
// 1500 -> "2". Counts are 64-bit: a link past 4 GiB keeps counting.
QString kilobytes(std::uint64_t bytes);

// Milliseconds from `conntime` (day count, the dial's start) to `now`; never negative.
qint64 onlinemillis(double conntime, const QDateTime& now);

// "hh:nn:ss" with the hours counted past a day (25 hours -> "25:00:00").
QString onlinetimetext(qint64 ms);

// "Data:" sent "KB/" received "KB  Time:" time, in the language's words.
QString datatext(int langindex, std::uint64_t sent, std::uint64_t received, qint64 onlineMs);

}  // namespace zenrun
