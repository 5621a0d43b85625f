#include "lines/probepool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

using namespace zenrun;

namespace {

// Tasks that block until released, as probes to silent lines do.
struct Gate {
    std::mutex mu;
    std::condition_variable cv;
    bool open = false;
    std::atomic<int> entered{0}, done{0};
    void pass() {
        ++entered;
        std::unique_lock lock(mu);
        cv.wait(lock, [this] { return open; });
        ++done;
    }
    void release() {
        {
            std::lock_guard lock(mu);
            open = true;
        }
        cv.notify_all();
    }
};

bool eventually(const std::function<bool()>& cond) {
    for (int i = 0; i < 5000 && !cond(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return cond();
}

TEST(ProbePool, StartsWithTenGrowsToFortyAndQueuesTheRest) {
    Gate gate;
    ProbePool pool(10, 40);
    EXPECT_EQ(pool.workers(), 0);
    pool.add([&] { gate.pass(); });
    EXPECT_EQ(pool.workers(), 10);
    for (int i = 1; i < 50; ++i) pool.add([&] { gate.pass(); });
    ASSERT_TRUE(eventually([&] { return gate.entered == 40; }));
    EXPECT_EQ(pool.workers(), 40);
    EXPECT_EQ(pool.busy(), 40);
    EXPECT_EQ(pool.queued(), 10);
    gate.release();
    ASSERT_TRUE(eventually([&] { return gate.done == 50; }));
    EXPECT_EQ(pool.queued(), 0);
    EXPECT_EQ(pool.workers(), 40);
}

TEST(ProbePool, ClearDropsOnlyWaitingTasks) {
    Gate gate;
    std::atomic<int> ran{0};
    {
        ProbePool pool(1, 2);
        pool.add([&] { gate.pass(); });
        pool.add([&] { gate.pass(); });
        pool.add([&] { ++ran; });
        ASSERT_TRUE(eventually([&] { return gate.entered == 2; }));
        EXPECT_EQ(pool.queued(), 1);
        pool.clear();
        EXPECT_EQ(pool.queued(), 0);
        gate.release();
    }  // the destructor waits for the running tasks
    EXPECT_EQ(gate.done, 2);
    EXPECT_EQ(ran, 0);
}

}  // namespace
