#include "lines/probepool.h"

namespace zenrun {

ProbePool::ProbePool(int minWorkers, int maxWorkers)
    : minWorkers_(minWorkers), maxWorkers_(std::max(maxWorkers, minWorkers)) {}

ProbePool::~ProbePool() {
    {
        std::lock_guard lock(mu_);
        quit_ = true;
        tasks_.clear();
    }
    cv_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void ProbePool::add(std::function<void()> task) {
    {
        std::lock_guard lock(mu_);
        tasks_.push_back(std::move(task));
        // The threads start with the first task: a client that never tests holds none.
        int spawn = 0;
        if (threads_.empty())
            spawn = minWorkers_;
        else if (static_cast<int>(tasks_.size()) > idle_)
            spawn = 1;
        for (; spawn > 0 && static_cast<int>(threads_.size()) < maxWorkers_; --spawn) {
            threads_.emplace_back([this] { work(); });
            ++idle_;
        }
    }
    cv_.notify_one();
}

void ProbePool::clear() {
    std::lock_guard lock(mu_);
    tasks_.clear();
}

int ProbePool::queued() const {
    std::lock_guard lock(mu_);
    return static_cast<int>(tasks_.size());
}

int ProbePool::workers() const {
    std::lock_guard lock(mu_);
    return static_cast<int>(threads_.size());
}

int ProbePool::busy() const {
    std::lock_guard lock(mu_);
    return static_cast<int>(threads_.size()) - idle_;
}

void ProbePool::work() {
    std::unique_lock lock(mu_);
    for (;;) {
        cv_.wait(lock, [this] { return quit_ || !tasks_.empty(); });
        if (quit_) return;
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        --idle_;
        lock.unlock();
        task();
        task = nullptr;  // release what the task holds before the pool counts it idle
        lock.lock();
        ++idle_;
    }
}

}  // namespace zenrun
