#include "platform/linux/qtclock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <ctime>

namespace zenrun {

namespace {
class QtTimer : public Timer {
public:
    explicit QtTimer(int interval) {
        timer_.setInterval(interval);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    }
    void setInterval(int ms) override { timer_.setInterval(ms); }
    int interval() const override { return timer_.interval(); }
    void setEnabled(bool on) override {
        if (on) timer_.start();
        else timer_.stop();
    }
    bool enabled() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};
}  // namespace

QtClock::QtClock() { started_.start(); }

std::unique_ptr<Timer> QtClock::createTimer(int intervalMs) {
    return std::make_unique<QtTimer>(intervalMs);
}

QDateTime QtClock::now() const { return QDateTime::currentDateTime(); }

std::uint32_t QtClock::tickCount() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000U +
                                      static_cast<std::uint64_t>(ts.tv_nsec) / 1000000U);
}

void QtClock::waitms(int ms) {
    QEventLoop loop;
    QTimer::singleShot(std::max(ms, 0), &loop, &QEventLoop::quit);
    loop.exec();
}

void QtClock::processEvents() { QCoreApplication::processEvents(); }

}  // namespace zenrun
