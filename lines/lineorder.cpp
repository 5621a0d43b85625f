#include "lines/lineorder.h"

namespace zenrun {

namespace {
std::optional<qint64> wholenumber(const QString& text) {
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return v;
}
}  // namespace

qint64 delaysortkey(const QString& delay) {
    return wholenumber(delay).value_or(kUnmeasuredDelay);
}

QString celltext(const ps& line, int column) {
    switch (column) {
        case kColName:
            return line.name;
        case kColDelay:
            return line.delay;
        case kColOnlineRate:
            return line.onlinerate;
        case kColL2tp:
            return line.l2tpstatus;
        default:
            return {};
    }
}

int comparekeys(qint64 a, qint64 b, Qt::SortOrder direction) {
    const bool greater = a > b;
    if (direction == Qt::AscendingOrder) return greater ? 1 : -1;
    return greater ? -1 : 1;
}

int comparetexts(const QString& a, const QString& b, Qt::SortOrder direction) {
    const bool greater = QString::compare(a, b, Qt::CaseSensitive) > 0;
    if (direction == Qt::AscendingOrder) return greater ? 1 : -1;
    return greater ? -1 : 1;
}

int comparelines(const ps& a, const ps& b, int column, Qt::SortOrder direction) {
    if (column == kColDelay)
        return comparekeys(delaysortkey(a.delay), delaysortkey(b.delay), direction);
    return comparetexts(celltext(a, column), celltext(b, column), direction);
}

// A failed probe ("禁ping", "Unknown", a time-out text) is shown grey: painting it in the
// fastest band would tell the user that the line that never answered is the best choice.
std::optional<QColor> delaycolor(const QString& delay) {
    if (delay == QLatin1String("NA")) return std::nullopt;
    const std::optional<qint64> v = wholenumber(delay);
    if (!v) return QColor(0xA4, 0xA2, 0xA5);
    if (*v <= 200) return QColor(0xAA, 0xFF, 0x9B);
    if (*v <= 250) return QColor(0xC8, 0xFF, 0x96);
    if (*v <= 300) return QColor(0xE1, 0xFF, 0x8C);
    return QColor(0xF0, 0xFF, 0x8C);
}

}  // namespace zenrun
