#include "platform/clock.h"

#include <cmath>

namespace zenrun {

namespace {
const QDateTime& epoch() {
    static const QDateTime e(QDate(1899, 12, 30), QTime(0, 0));
    return e;
}
constexpr double kMsPerDay = 86400000.0;
}  // namespace

double toDayCount(const QDateTime& t) {
    // Local wall-clock time, as the day count has no zone.
    const QDateTime local = t.toLocalTime();
    const qint64 days = epoch().date().daysTo(local.date());
    return static_cast<double>(days) + local.time().msecsSinceStartOfDay() / kMsPerDay;
}

QDateTime fromDayCount(double days) {
    const double whole = std::floor(days);
    const auto ms = static_cast<qint64>(std::llround((days - whole) * kMsPerDay));
    QDateTime t(epoch().date().addDays(static_cast<qint64>(whole)), QTime(0, 0));
    return t.addMSecs(ms);
}

}  // namespace zenrun
