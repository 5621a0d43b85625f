#include "platform/sim/simclock.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace zenrun;

TEST(SimClock, FiresDueTimersInTimeOrder) {
    SimClock clock;
    QStringList log;
    auto a = clock.createTimer(300);
    auto b = clock.createTimer(200);
    auto c = clock.createTimer(300);
    a->setHandler([&] { log << QStringLiteral("a@%1").arg(clock.elapsedMs()); });
    b->setHandler([&] { log << QStringLiteral("b@%1").arg(clock.elapsedMs()); });
    c->setHandler([&] { log << QStringLiteral("c@%1").arg(clock.elapsedMs()); });
    a->setEnabled(true);
    b->setEnabled(true);
    c->setEnabled(true);
    clock.advance(600);
    // Ties go to the timer created first.
    EXPECT_EQ(log, QStringList({"b@200", "a@300", "c@300", "b@400", "a@600", "b@600", "c@600"}));
    EXPECT_EQ(clock.elapsedMs(), 600);
}

TEST(SimClock, DisabledTimersAndRestartOnEnable) {
    SimClock clock;
    int fired = 0;
    auto t = clock.createTimer(1000);
    t->setHandler([&] { ++fired; });
    clock.advance(5000);
    EXPECT_EQ(fired, 0);
    t->setEnabled(true);
    clock.advance(999);
    EXPECT_EQ(fired, 0);
    clock.advance(1);
    EXPECT_EQ(fired, 1);
    // A handler that disables its own timer runs once.
    t->setHandler([&] {
        ++fired;
        t->setEnabled(false);
    });
    clock.advance(10000);
    EXPECT_EQ(fired, 2);
}

TEST(SimClock, AWaitingHandlerLetsOtherTimersFire) {
    SimClock clock;
    QStringList log;
    auto slow = clock.createTimer(1000);
    auto fast = clock.createTimer(300);
    slow->setHandler([&] {
        log << QStringLiteral("slow-in@%1").arg(clock.elapsedMs());
        clock.waitms(700);
        log << QStringLiteral("slow-out@%1").arg(clock.elapsedMs());
    });
    fast->setHandler([&] { log << QStringLiteral("fast@%1").arg(clock.elapsedMs()); });
    slow->setEnabled(true);
    fast->setEnabled(true);
    clock.advance(1000);
    EXPECT_EQ(log, QStringList({"fast@300", "fast@600", "fast@900", "slow-in@1000", "fast@1200",
                                "fast@1500", "slow-out@1700"}));
    // Time never runs backwards after a nested wait, and the outer advance is complete.
    EXPECT_EQ(clock.elapsedMs(), 1700);
    EXPECT_EQ(clock.now(), SimClock().now().addMSecs(1700));
}

TEST(SimClock, DayCountRoundTrip) {
    const QDateTime t(QDate(2026, 12, 11), QTime(13, 30, 15, 250));
    const double d = toDayCount(t);
    EXPECT_NEAR(d - std::floor(d), (13 * 3600 + 30 * 60 + 15.25) / 86400.0, 1e-9);
    EXPECT_EQ(fromDayCount(d), t);
    EXPECT_EQ(toDayCount(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
}
