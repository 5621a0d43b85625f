#pragma once

#include <QElapsedTimer>

#include "platform/clock.h"

namespace zenrun {

class QtClock : public Clock {
public:
    QtClock();
    std::unique_ptr<Timer> createTimer(int intervalMs = 1000) override;
    QDateTime now() const override;
    std::uint32_t tickCount() const override;
    void waitms(int ms) override;
    void processEvents() override;

private:
    QElapsedTimer started_;
};

}  // namespace zenrun
