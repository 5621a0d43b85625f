#pragma once

#include <vector>

#include "platform/clock.h"

namespace zenrun {

// Virtual time. Nothing moves until a test calls advance() or the code under test calls
// waitms(); due timers then fire in time order (creation order breaks ties), and a handler
// that waits lets the other timers fire during its wait.
class SimClock : public Clock {
public:
    explicit SimClock(QDateTime start = QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
    ~SimClock() override;

    std::unique_ptr<Timer> createTimer(int intervalMs = 1000) override;
    QDateTime now() const override;
    std::uint32_t tickCount() const override;
    void waitms(int ms) override;
    void processEvents() override;

    // Driving API.
    void advance(qint64 ms);
    qint64 elapsedMs() const { return nowMs_; }

private:
    class SimTimer;
    friend class SimTimer;
    void advanceTo(qint64 target);

    QDateTime start_;
    qint64 nowMs_ = 0;
    std::uint64_t nextSeq_ = 0;
    std::vector<SimTimer*> timers_;
};

}  // namespace zenrun
