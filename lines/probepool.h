#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zenrun {

// The worker threads of the batch speed test (`tp1`): tasks run in the order they were
// added, each on a worker of its own; the pool starts with `minWorkers` threads and adds one
// whenever a task finds every worker busy, up to `maxWorkers`. Tasks beyond that queue.
// A probe blocks its worker for up to its time-out, so a silent line holds one worker and
// never the others.
class ProbePool {
public:
    explicit ProbePool(int minWorkers = 10, int maxWorkers = 40);
    // Drops the queued tasks and waits for the running ones.
    ~ProbePool();
    ProbePool(const ProbePool&) = delete;
    ProbePool& operator=(const ProbePool&) = delete;

    void add(std::function<void()> task);
    void clear();  // drops the queued tasks
    int queued() const;
    int workers() const;
    int busy() const;

private:
    void work();

    const int minWorkers_;
    const int maxWorkers_;
    mutable std::mutex mu_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
    std::vector<std::thread> threads_;
    int idle_ = 0;
    bool quit_ = false;
};

}  // namespace zenrun
