#include "platform/linux/linuxicmp.h"

#include <arpa/inet.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace zenrun {

namespace {

constexpr std::uint8_t kEchoRequest = 8;
constexpr std::uint8_t kEchoReply = 0;
constexpr int kMaxPayload = 65507 - 8;

std::int64_t realtimeNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

std::uint16_t checksum(const unsigned char* data, std::size_t len) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < len; i += 2) sum += (std::uint32_t{data[i]} << 8) | data[i + 1];
    if (len & 1) sum += std::uint32_t{data[len - 1]} << 8;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

std::uint16_t read16(const unsigned char* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

}  // namespace

// One request waiting for its reply; lives on the stack of the calling thread.
struct LinuxIcmp::Pending {
    std::uint32_t dst = 0;  // network order
    std::int64_t txNs = 0;
    std::int64_t rxNs = 0;
    bool done = false;
    std::condition_variable cv;
};

LinuxIcmp::LinuxIcmp() = default;

LinuxIcmp::~LinuxIcmp() {
    if (receiver_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(wake_, &one, sizeof one);
        receiver_.join();
    }
    if (fd_ >= 0) ::close(fd_);
    if (wake_ >= 0) ::close(wake_);
}

bool LinuxIcmp::open(bool allowDatagram) {
    std::lock_guard lock(openMu_);
    if (fd_ >= 0) return true;
    int fd = -1;
    Mode mode = Mode::Datagram;
    if (allowDatagram) fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) {
        fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        mode = Mode::Raw;
    }
    if (fd < 0) return false;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    if (mode == Mode::Datagram) {
        // The kernel owns the identifier of a datagram socket: bind to learn it.
        sockaddr_in local{};
        local.sin_family = AF_INET;
        socklen_t len = sizeof local;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0) {
            ::close(fd);
            return false;
        }
        ident_ = ntohs(local.sin_port);
    } else {
        // Only echo replies reach a raw socket; the rest of the host's ICMP stays away.
        icmp_filter filter{};
        filter.data = ~(1U << ICMP_ECHOREPLY);
        ::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
        ident_ =
            static_cast<std::uint16_t>(std::random_device{}() ^ static_cast<unsigned>(getpid()));
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    wake_ = wake;
    mode_ = mode;
    receiver_ = std::thread([this] { receiveLoop(); });
    return true;
}

EchoReply LinuxIcmp::echo(const QString& address, int payloadBytes, int ttl, int timeoutMs) {
    EchoReply reply;
    in_addr dst{};
    const QByteArray a = address.trimmed().toLatin1();
    if (inet_pton(AF_INET, a.constData(), &dst) != 1) return reply;
    if (payloadBytes < 0 || payloadBytes > kMaxPayload || ttl < 1 || ttl > 255) return reply;
    if (!open()) return reply;
    timeoutMs = std::max(timeoutMs, 0);

    Pending p;
    p.dst = dst.s_addr;
    std::uint16_t seq = 0;
    {
        std::lock_guard lock(mu_);
        do {
            seq = nextSeq_++;
        } while (pending_.count(seq) != 0);
        pending_[seq] = &p;
    }
    auto forget = [&] {
        std::lock_guard lock(mu_);
        pending_.erase(seq);
    };

    std::vector<unsigned char> packet(8 + static_cast<std::size_t>(payloadBytes));
    packet[0] = kEchoRequest;
    packet[4] = static_cast<unsigned char>(ident_ >> 8);
    packet[5] = static_cast<unsigned char>(ident_);
    packet[6] = static_cast<unsigned char>(seq >> 8);
    packet[7] = static_cast<unsigned char>(seq);
    for (std::size_t i = 8; i < packet.size(); ++i) packet[i] = static_cast<unsigned char>(i);
    const std::uint16_t sum = checksum(packet.data(), packet.size());
    packet[2] = static_cast<unsigned char>(sum >> 8);
    packet[3] = static_cast<unsigned char>(sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = dst;
    iovec iov{packet.data(), packet.size()};
    // The time to live goes with this one request: other threads share the socket.
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr msg{};
    msg.msg_name = &to;
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_TTL;
    c->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(c), &ttl, sizeof ttl);

    const auto start = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(mu_);
        p.txNs = realtimeNs();
    }
    if (::sendmsg(fd_, &msg, MSG_NOSIGNAL) < 0) {
        const int err = errno;
        forget();
        // A network the host cannot reach answers nothing, as a silent host does.
        if (err == ENETUNREACH || err == EHOSTUNREACH || err == EHOSTDOWN || err == ENETDOWN) {
            reply.status = EchoReply::NoAnswer;
            reply.rttMs = timeoutMs;
        }
        return reply;
    }

    std::unique_lock lock(mu_);
    const bool answered =
        p.cv.wait_until(lock, start + std::chrono::milliseconds(timeoutMs), [&] { return p.done; });
    pending_.erase(seq);
    if (answered) {
        reply.status = EchoReply::Answered;
        reply.rttMs = static_cast<int>(std::max<std::int64_t>(p.rxNs - p.txNs, 0) / 1'000'000);
    } else {
        reply.status = EchoReply::NoAnswer;
        reply.rttMs = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count());
        reply.rttMs = std::max(reply.rttMs, timeoutMs);
    }
    return reply;
}

void LinuxIcmp::receiveLoop() {
    std::vector<unsigned char> buf(65536);
    alignas(cmsghdr) unsigned char control[512];
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        for (;;) {
            sockaddr_in from{};
            iovec iov{buf.data(), buf.size()};
            msghdr msg{};
            msg.msg_name = &from;
            msg.msg_namelen = sizeof from;
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(fd_, &msg, MSG_DONTWAIT);
            if (n < 0) break;
            std::int64_t rxNs = 0;
            for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
                if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
                    timespec ts{};
                    std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
                    rxNs = std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
                }
            }
            if (rxNs == 0) rxNs = realtimeNs();
            const unsigned char* icmp = buf.data();
            std::size_t len = static_cast<std::size_t>(n);
            if (mode_ == Mode::Raw) {
                // A raw socket hands over the IP header too.
                if (len < 20) continue;
                const std::size_t ihl = std::size_t{static_cast<unsigned char>(icmp[0] & 0x0F)} * 4;
                if (ihl < 20 || len < ihl) continue;
                icmp += ihl;
                len -= ihl;
            }
            handleReply(icmp, len, from.sin_addr.s_addr, rxNs);
        }
    }
}

void LinuxIcmp::handleReply(const unsigned char* icmp, std::size_t len, std::uint32_t from,
                            std::int64_t rxNs) {
    if (len < 8 || icmp[0] != kEchoReply || icmp[1] != 0) return;
    // A datagram socket only ever sees its own identifier; the kernel rewrites it.
    if (mode_ == Mode::Raw && read16(icmp + 4) != ident_) return;
    const std::uint16_t seq = read16(icmp + 6);
    std::lock_guard lock(mu_);
    const auto it = pending_.find(seq);
    if (it == pending_.end() || it->second->done || it->second->dst != from) return;
    it->second->rxNs = rxNs;
    it->second->done = true;
    it->second->cv.notify_one();
}

}  // namespace zenrun
