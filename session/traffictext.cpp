#include "session/traffictext.h"

#include <algorithm>

#include "core/langtext.h"
#include "platform/clock.h"

namespace zenrun {

QString kilobytes(std::uint64_t bytes) {
    // Integer arithmetic: a double loses whole bytes long before a 64-bit count ends.
    const std::uint64_t whole = bytes / 1000 + (bytes % 1000 >= 500 ? 1 : 0);
    return QString::number(whole);
}

qint64 onlinemillis(double conntime, const QDateTime& now) {
    return std::max<qint64>(0, fromDayCount(conntime).msecsTo(now));
}

QString onlinetimetext(qint64 ms) {
    const qint64 seconds = std::max<qint64>(0, ms) / 1000;
    const auto two = [](qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(seconds / 3600) + QLatin1Char(':') + two(seconds / 60 % 60) + QLatin1Char(':') +
           two(seconds % 60);
}

QString datatext(int langindex, std::uint64_t sent, std::uint64_t received, qint64 onlineMs) {
    const QString kb = QStringLiteral("KB");
    return langtext(langindex, QStringLiteral("Data:"), QStringLiteral("已加速:")) +
           kilobytes(sent) + kb + QLatin1Char('/') + kilobytes(received) + kb +
           langtext(langindex, QStringLiteral("  Time:"), QStringLiteral("  在线时间:")) +
           onlinetimetext(onlineMs);
}

}  // namespace zenrun
