#pragma once

#include <QDateTime>
#include <cstdint>
#include <functional>
#include <memory>

namespace zenrun {

// A window timer: fires its handler every `interval` ms while enabled.
// Enabling a timer (or changing the interval of an enabled one) restarts its period.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    void fire() {
        if (handler_) handler_();
    }

private:
    std::function<void()> handler_;
};

class Clock {
public:
    virtual ~Clock() = default;
    // New timer, disabled, with the given interval.
    virtual std::unique_ptr<Timer> createTimer(int intervalMs = 1000) = 0;
    virtual QDateTime now() const = 0;
    // Milliseconds since an arbitrary start, wrapping like a 32-bit tick counter.
    virtual std::uint32_t tickCount() const = 0;
    // Waits `ms` while the window keeps handling events (and timers keep firing).
    virtual void waitms(int ms) = 0;
    // Handles the events that are pending now, then returns.
    virtual void processEvents() = 0;
};

// Date-time as a day count since 1899-12-30, the fraction being the time of day.
double toDayCount(const QDateTime& t);
QDateTime fromDayCount(double days);

}  // namespace zenrun
