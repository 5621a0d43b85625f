// A stand-in network for the latency tests: owns a TUN device in the test's network
// namespace and answers the echo requests routed to it, each address after the delay the test
// chose, or never. Every request is logged with its arrival time (CLOCK_MONOTONIC ns).
//
//   zenrun-icmp-responder --tun NAME --log FILE [--default MS] [ADDRESS=MS ...]
//
// MS -1 means silent; addresses not listed use --default (silent unless given). Prints
// "ready" once the device exists; ends on SIGTERM.
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <queue>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t stopping = 0;

std::int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

std::uint16_t checksum(const unsigned char* data, std::size_t len) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < len; i += 2) sum += (std::uint32_t{data[i]} << 8) | data[i + 1];
    if (len & 1) sum += std::uint32_t{data[len - 1]} << 8;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

void put16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v >> 8);
    p[1] = static_cast<unsigned char>(v);
}

struct Reply {
    std::int64_t due;
    std::vector<unsigned char> packet;
    bool operator>(const Reply& o) const { return due > o.due; }
};

}  // namespace

int main(int argc, char** argv) {
    std::string tun = "zrtun0";
    std::string logPath;
    long defaultMs = -1;
    std::map<std::uint32_t, long> delays;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--tun" && i + 1 < argc) {
            tun = argv[++i];
        } else if (a == "--log" && i + 1 < argc) {
            logPath = argv[++i];
        } else if (a == "--default" && i + 1 < argc) {
            defaultMs = std::strtol(argv[++i], nullptr, 10);
        } else {
            const auto eq = a.find('=');
            in_addr addr{};
            if (eq == std::string::npos ||
                inet_pton(AF_INET, a.substr(0, eq).c_str(), &addr) != 1) {
                std::fprintf(stderr, "responder: bad argument %s\n", a.c_str());
                return 2;
            }
            delays[addr.s_addr] = std::strtol(a.c_str() + eq + 1, nullptr, 10);
        }
    }
    FILE* log = logPath.empty() ? nullptr : std::fopen(logPath.c_str(), "w");

    const int fd = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        std::perror("responder: /dev/net/tun");
        return 1;
    }
    ifreq ifr{};
    ifr.ifr_flags = IFF_TUN | IFF_NO_PI;
    std::strncpy(ifr.ifr_name, tun.c_str(), IFNAMSIZ - 1);
    if (::ioctl(fd, TUNSETIFF, &ifr) < 0) {
        std::perror("responder: TUNSETIFF");
        return 1;
    }
    // Answers should leave when they are due even on a busy machine.
    sched_param sp{};
    sp.sched_priority = 10;
    sched_setscheduler(0, SCHED_FIFO, &sp);

    struct sigaction sa {};
    sa.sa_handler = [](int) { stopping = 1; };
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::printf("ready\n");
    std::fflush(stdout);

    std::priority_queue<Reply, std::vector<Reply>, std::greater<>> replies;
    std::vector<unsigned char> buf(65536);
    while (!stopping) {
        timespec timeout{1, 0};
        if (!replies.empty()) {
            const std::int64_t wait = std::max<std::int64_t>(replies.top().due - nowNs(), 0);
            timeout = {static_cast<time_t>(wait / 1'000'000'000),
                       static_cast<long>(wait % 1'000'000'000)};
        }
        pollfd p{fd, POLLIN, 0};
        const int r = ::ppoll(&p, 1, &timeout, nullptr);
        if (r < 0 && errno != EINTR) break;
        while (!replies.empty() && replies.top().due <= nowNs()) {
            const Reply& reply = replies.top();
            [[maybe_unused]] const auto n = ::write(fd, reply.packet.data(), reply.packet.size());
            replies.pop();
        }
        if (r <= 0 || !(p.revents & POLLIN)) continue;
        const ssize_t n = ::read(fd, buf.data(), buf.size());
        const std::int64_t arrived = nowNs();
        if (n < 20) continue;
        unsigned char* ip = buf.data();
        const std::size_t ihl = std::size_t{static_cast<unsigned char>(ip[0] & 0x0F)} * 4;
        if ((ip[0] >> 4) != 4 || ip[9] != 1 || static_cast<std::size_t>(n) < ihl + 8) continue;
        unsigned char* icmp = ip + ihl;
        if (icmp[0] != 8) continue;
        std::uint32_t src = 0, dst = 0;
        std::memcpy(&src, ip + 12, 4);
        std::memcpy(&dst, ip + 16, 4);
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &dst, text, sizeof text);
        if (log) {
            std::fprintf(log, "%lld %s %u\n", static_cast<long long>(arrived), text,
                         (unsigned{icmp[6]} << 8) | icmp[7]);
            std::fflush(log);
        }
        const auto it = delays.find(dst);
        const long delay = it == delays.end() ? defaultMs : it->second;
        if (delay < 0) continue;
        Reply reply{arrived + delay * 1'000'000, std::vector<unsigned char>(ip, ip + n)};
        unsigned char* rip = reply.packet.data();
        std::memcpy(rip + 12, &dst, 4);
        std::memcpy(rip + 16, &src, 4);
        rip[8] = 64;
        put16(rip + 10, 0);
        put16(rip + 10, checksum(rip, ihl));
        unsigned char* ricmp = rip + ihl;
        ricmp[0] = 0;
        put16(ricmp + 2, 0);
        put16(ricmp + 2, checksum(ricmp, static_cast<std::size_t>(n) - ihl));
        replies.push(std::move(reply));
    }
    if (log) std::fclose(log);
    return 0;
}
