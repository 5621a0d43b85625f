#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>

#include "platform/icmp.h"

namespace zenrun {

// ICMP echo on one socket shared by every caller: a datagram ICMP socket where
// net.ipv4.ping_group_range lets this user open one, a raw socket otherwise (root). Replies
// are matched to their request by identifier and sequence number, so callers on many threads
// share the socket; one receiving thread reads every reply. The round trip runs from the
// moment the request is handed to the kernel to the kernel's receive timestamp of the reply
// (SO_TIMESTAMPNS), so a busy process does not make a line look slower than it is.
class LinuxIcmp : public Icmp {
public:
    enum class Mode { Closed, Datagram, Raw };

    LinuxIcmp();
    ~LinuxIcmp() override;
    LinuxIcmp(const LinuxIcmp&) = delete;
    LinuxIcmp& operator=(const LinuxIcmp&) = delete;

    // Opens the socket in the network namespace of the calling thread (echo() opens it on
    // first use otherwise). `allowDatagram` false forces the raw socket.
    bool open(bool allowDatagram = true);
    Mode mode() const { return mode_.load(); }

    EchoReply echo(const QString& address, int payloadBytes, int ttl, int timeoutMs) override;

private:
    struct Pending;
    void receiveLoop();
    void handleReply(const unsigned char* icmp, std::size_t len, std::uint32_t from,
                     std::int64_t rxNs);

    std::mutex openMu_;
    int fd_ = -1;
    int wake_ = -1;  // eventfd that ends the receiving thread
    std::atomic<Mode> mode_{Mode::Closed};
    std::uint16_t ident_ = 0;  // raw mode: our identifier; datagram mode: the kernel's
    std::thread receiver_;

    std::mutex mu_;  // guards pending_ and nextSeq_
    std::map<std::uint16_t, Pending*> pending_;
    std::uint16_t nextSeq_ = 0;
};

}  // namespace zenrun
