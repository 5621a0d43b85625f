#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

struct nl_sock;
class QSocketNotifier;

namespace zenrun {

// Network interfaces as rtnetlink reports them: one interface's state, addresses and 64-bit
// counters on request, and a call whenever any interface or IPv4 address changes. The sockets
// stay bound to the network namespace of the thread that built the object.
class NetlinkLinks {
public:
    NetlinkLinks();
    ~NetlinkLinks();
    NetlinkLinks(const NetlinkLinks&) = delete;
    NetlinkLinks& operator=(const NetlinkLinks&) = delete;

    bool isOpen() const { return query_ != nullptr; }

    struct Link {
        int index = 0;
        bool up = false;      // administratively up and running
        QString local, peer;  // IPv4, empty until assigned
        std::uint64_t txBytes = 0, rxBytes = 0;
    };
    std::optional<Link> find(const QString& ifname) const;

    // Runs on the thread that owns the object, after a burst of kernel notices.
    std::function<void()> onChange;

private:
    void drain();

    nl_sock* query_ = nullptr;
    nl_sock* events_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zenrun
