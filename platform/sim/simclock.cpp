#include "platform/sim/simclock.h"

#include <QCoreApplication>
#include <algorithm>

namespace zenrun {

class SimClock::SimTimer : public Timer {
public:
    SimTimer(SimClock& c, int interval, std::uint64_t seq) : clock_(c), interval_(interval), seq_(seq) {}
    ~SimTimer() override {
        auto& t = clock_.timers_;
        t.erase(std::remove(t.begin(), t.end(), this), t.end());
    }
    void setInterval(int ms) override {
        interval_ = ms;
        if (enabled_) due_ = clock_.nowMs_ + interval_;
    }
    int interval() const override { return interval_; }
    void setEnabled(bool on) override {
        if (on && !enabled_) due_ = clock_.nowMs_ + interval_;
        enabled_ = on;
    }
    bool enabled() const override { return enabled_; }

    SimClock& clock_;
    int interval_;
    std::uint64_t seq_;
    bool enabled_ = false;
    bool running_ = false;  // a handler does not re-enter its own timer
    qint64 due_ = 0;
    using Timer::fire;
};

SimClock::SimClock(QDateTime start) : start_(std::move(start)) {}
SimClock::~SimClock() = default;

std::unique_ptr<Timer> SimClock::createTimer(int intervalMs) {
    auto t = std::make_unique<SimTimer>(*this, intervalMs, nextSeq_++);
    timers_.push_back(t.get());
    return t;
}

QDateTime SimClock::now() const { return start_.addMSecs(nowMs_); }

std::uint32_t SimClock::tickCount() const {
    return static_cast<std::uint32_t>(1000000 + nowMs_);
}

void SimClock::waitms(int ms) { advance(std::max(ms, 0)); }

void SimClock::processEvents() {
    // Queued calls from worker threads still need the real event loop.
    QCoreApplication::processEvents();
    advanceTo(nowMs_);
}

void SimClock::advance(qint64 ms) { advanceTo(nowMs_ + ms); }

void SimClock::advanceTo(qint64 target) {
    for (;;) {
        SimTimer* next = nullptr;
        for (SimTimer* t : timers_) {
            if (!t->enabled_ || t->running_ || t->due_ > target) continue;
            if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->seq_ < next->seq_))
                next = t;
        }
        if (!next) break;
        nowMs_ = std::max(nowMs_, next->due_);
        // A zero interval would fire forever at one instant; treat it as 1 ms.
        next->due_ = nowMs_ + std::max(next->interval_, 1);
        next->running_ = true;
        // The timer may be destroyed by its own handler; look it up again afterwards.
        SimTimer* fired = next;
        fired->fire();
        if (std::find(timers_.begin(), timers_.end(), fired) != timers_.end()) fired->running_ = false;
    }
    nowMs_ = std::max(nowMs_, target);
}

}  // namespace zenrun
