#include "platform/sim/simicmp.h"

#include <chrono>
#include <thread>

namespace zenrun {

namespace {
constexpr int kSilent = -1;
constexpr int kUnusable = -2;
}  // namespace

EchoReply SimIcmp::echo(const QString& address, int payloadBytes, int ttl, int timeoutMs) {
    int rtt = kSilent;
    bool realTime = false;
    {
        std::unique_lock lock(mu_);
        requests_.append({address, payloadBytes, ttl, timeoutMs});
        rtt = rtt_.value(address, kSilent);
        realTime = realTime_;
        ++waiting_;
        cv_.wait(lock, [&] { return held_.count(address) == 0; });
        --waiting_;
    }
    if (rtt == kUnusable) return {};
    const bool answered = rtt >= 0 && rtt < timeoutMs;
    const int waited = answered ? rtt : std::max(timeoutMs, 0);
    if (realTime) std::this_thread::sleep_for(std::chrono::milliseconds(waited));
    return {answered ? EchoReply::Answered : EchoReply::NoAnswer, waited};
}

void SimIcmp::setRtt(const QString& address, int rttMs) {
    std::lock_guard lock(mu_);
    rtt_[address] = rttMs < 0 ? kSilent : rttMs;
}

void SimIcmp::setSilent(const QString& address) {
    std::lock_guard lock(mu_);
    rtt_[address] = kSilent;
}

void SimIcmp::setUnusable(const QString& address) {
    std::lock_guard lock(mu_);
    rtt_[address] = kUnusable;
}

void SimIcmp::setRealTime(bool on) {
    std::lock_guard lock(mu_);
    realTime_ = on;
}

void SimIcmp::hold(const QString& address) {
    std::lock_guard lock(mu_);
    held_.insert(address);
}

void SimIcmp::release(const QString& address) {
    {
        std::lock_guard lock(mu_);
        held_.erase(address);
    }
    cv_.notify_all();
}

void SimIcmp::releaseAll() {
    {
        std::lock_guard lock(mu_);
        held_.clear();
    }
    cv_.notify_all();
}

QList<SimIcmp::Request> SimIcmp::requests() const {
    std::lock_guard lock(mu_);
    return requests_;
}

int SimIcmp::waiting() const {
    std::lock_guard lock(mu_);
    return waiting_;
}

}  // namespace zenrun
