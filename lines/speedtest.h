#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/linerecord.h"

namespace zenrun {

struct Platform;
struct Session;
class Tfrmmain;
class LineView;
class ProbePool;
class UiMailbox;

// The batch speed test behind `btn_speed`: a sweep thread hands one probe of the listed lines
// to the worker pool every 50 ms, pass after pass, while `pinging` holds; each answer becomes
// the line's delay (90 % of the round trip), each silence the failure text. Results reach the
// records on the UI thread only; the list is re-sorted every 2 s (`Timer1`) and after each
// pass, never per result.
class SpeedTest : public QObject {
    Q_OBJECT
public:
    // Echo request of a batch probe.
    static constexpr int kPayload = 56;
    static constexpr int kTtl = 64;
    static constexpr int kTimeoutMs = 4000;
    static constexpr int kStepMs = 50;  // one probe handed out per step
    static constexpr int kMinWorkers = 10;
    static constexpr int kMaxWorkers = 40;  // probes in flight at most

    SpeedTest(Session& session, Platform& platform, Tfrmmain& form, LineView& view);
    // Ends a running test and waits for the sweep and the probes in flight.
    ~SpeedTest() override;

    void btn_speedClick();
    void Timer1Timer();
    void showpoolstatus();
    // Ends the test whether or not one runs: `pinging` false, the start caption, the sweep
    // asked to stop, `Timer1` off. No re-sort.
    void stop();

    // Captions of `btn_speed` in the current language.
    QString startCaption() const;
    QString stopCaption() const;
    // `delay` of a line that did not answer, in the current language.
    QString failuretext() const;

    int queued() const;
    int workers() const;

private:
    struct Target {
        LineNode line;
        QString ip;
    };
    struct Task {
        LineNode line;
        QString ip;
        std::uint64_t generation;
    };

    void startSweep();
    void pingthreadExecute();
    std::vector<Target> takePass(bool first);
    void publishPass(bool resort);
    void tp1ProcessRequest(const Task& task);
    void takeResult(const Task& task, bool answered, int rttMs);
    bool sweeping() const;
    void wakeSweep();

    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
    LineView& view_;
    std::unique_ptr<UiMailbox> mailbox_;  // results and requests for the UI thread
    std::unique_ptr<ProbePool> pool_;

    // Which test a result belongs to: a result of a stopped test is dropped even when a new
    // test has started before it arrived.
    std::atomic<std::uint64_t> generation_{0};

    // Sweep thread and what it shares with the UI thread, all under mu_.
    std::mutex mu_;
    std::condition_variable cv_;
    std::thread sweep_;
    bool sweepRunning_ = false;
    bool quit_ = false;
    bool passReady_ = false;
    std::vector<Target> pass_;
};

}  // namespace zenrun
