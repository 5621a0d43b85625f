// A stand-in for pppd, started by the dial-up service exactly as pppd would be. It reads its
// options (command line and `file` options files, in pppd's own syntax), records them for the
// test, and plays a link: a TUN interface named like a ppp link, with the local and peer
// addresses, in the network namespace it runs in; pppd's pid file; the link kept up until
// SIGTERM/SIGINT/SIGHUP (then the interface goes and it exits 5, as pppd does).
//
// Told through the environment:
//   STANDIN_RECORD   file to write "argv\t<arg>" and "opt\t<word>" lines to
//   STANDIN_PIDDIR   folder of ppp-LINKNAME.pid (default /run)
//   STANDIN_EXIT     exit at once with this status (after recording)
//   STANDIN_NOLINK   write the pid file and wait for a signal, but make no interface
//   STANDIN_UP_MS    time between the interface appearing and coming up (default 300)
//   STANDIN_IGNORE_TERM  ignore SIGTERM (a pppd that hangs on the way out)
//   STANDIN_DROP_MS  drop the link this long after it came up (exit 16, the line hung up)
//   STANDIN_LINGER_MS  time between the interface going and the pid file going, whatever
//                    signals come meanwhile (pppd runs its ip-down scripts there)
//   STANDIN_LOCAL, STANDIN_PEER  the addresses (default 10.64.0.2, 10.64.0.1)
//   STANDIN_NETNS    the test's namespace (ip netns name): the only place it makes an interface

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t stopSignal = 0;
void onSignal(int sig) {
    stopSignal = sig;
}

std::string env(const char* name, const char* fallback = "") {
    const char* v = std::getenv(name);
    return v ? v : fallback;
}

long long nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// pppd's options-file words: whitespace, "..." or '...' quoting, backslash escapes, # comments.
std::vector<std::string> readWords(const std::string& text) {
    std::vector<std::string> out;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        if (isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        if (c == '#') {
            while (i < n && text[i] != '\n') ++i;
            continue;
        }
        std::string w;
        char quote = 0;
        while (i < n) {
            const char d = text[i];
            if (d == '\\' && i + 1 < n) {
                const char e = text[i + 1];
                i += 2;
                if (e >= '0' && e <= '7') {
                    int v = e - '0', k = 1;
                    while (k < 3 && i < n && text[i] >= '0' && text[i] <= '7')
                        v = v * 8 + (text[i++] - '0'), ++k;
                    w += static_cast<char>(v);
                } else if (e == 'n') {
                    w += '\n';
                } else if (e == 'r') {
                    w += '\r';
                } else if (e == 't') {
                    w += '\t';
                } else if (e != '\n') {
                    w += e;
                }
                continue;
            }
            if (quote) {
                ++i;
                if (d == quote)
                    quote = 0;
                else
                    w += d;
                continue;
            }
            if (d == '"' || d == '\'') {
                quote = d;
                ++i;
                continue;
            }
            if (isspace(static_cast<unsigned char>(d)) || d == '#') break;
            w += d;
            ++i;
        }
        out.push_back(w);
    }
    return out;
}

// Only inside the namespace the test named (STANDIN_NETNS), never the host's.
bool inTestNamespace() {
    const std::string name = env("STANDIN_NETNS");
    struct stat self {
    }, test{};
    if (name.empty() || name.find('/') != std::string::npos) return false;
    if (stat("/proc/self/ns/net", &self) != 0 || stat(("/run/netns/" + name).c_str(), &test) != 0)
        return false;
    return self.st_ino == test.st_ino && self.st_dev == test.st_dev;
}

bool setAddress(int sock, const char* ifname, unsigned long request, const std::string& addr) {
    ifreq ifr{};
    std::snprintf(ifr.ifr_name, IFNAMSIZ, "%s", ifname);
    auto* sin = reinterpret_cast<sockaddr_in*>(&ifr.ifr_addr);
    sin->sin_family = AF_INET;
    if (inet_pton(AF_INET, addr.c_str(), &sin->sin_addr) != 1) return false;
    return ioctl(sock, request, &ifr) == 0;
}

bool bringUp(const char* ifname, const std::string& local, const std::string& peer) {
    const int sock = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock < 0) return false;
    bool ok = setAddress(sock, ifname, SIOCSIFADDR, local) &&
              setAddress(sock, ifname, SIOCSIFDSTADDR, peer) &&
              setAddress(sock, ifname, SIOCSIFNETMASK, "255.255.255.255");
    ifreq ifr{};
    std::snprintf(ifr.ifr_name, IFNAMSIZ, "%s", ifname);
    ok = ok && ioctl(sock, SIOCGIFFLAGS, &ifr) == 0;
    ifr.ifr_flags |= IFF_UP;
    ok = ok && ioctl(sock, SIOCSIFFLAGS, &ifr) == 0;
    close(sock);
    return ok;
}

// Waits up to `ms`, answering packets; false when a signal asked us to stop.
bool serve(int tun, long long ms) {
    const long long until = nowMs() + ms;
    char buf[4096];
    while (!stopSignal) {
        const long long left = until - nowMs();
        if (ms >= 0 && left <= 0) return true;
        pollfd p{tun, POLLIN, 0};
        const int r = poll(tun >= 0 ? &p : nullptr, tun >= 0 ? 1 : 0,
                           static_cast<int>(ms < 0 ? 100 : std::min<long long>(left, 100)));
        if (r > 0 && (p.revents & POLLIN)) {
            const ssize_t n = read(tun, buf, sizeof buf);
            // The peer answers: the packet comes back with source and destination swapped.
            if (n >= 20 && (buf[0] >> 4) == 4) {
                char tmp[4];
                std::memcpy(tmp, buf + 12, 4);
                std::memcpy(buf + 12, buf + 16, 4);
                std::memcpy(buf + 16, tmp, 4);
                if (write(tun, buf, static_cast<size_t>(n)) < 0) {
                }
            }
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    std::vector<std::string> options(args.begin() + 1, args.end());
    for (size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] != "file") continue;
        std::ifstream f(args[i + 1]);
        if (!f) {
            std::fprintf(stderr, "standin pppd: cannot read %s\n", args[i + 1].c_str());
            return 2;
        }
        std::stringstream text;
        text << f.rdbuf();
        for (const std::string& w : readWords(text.str())) options.push_back(w);
    }
    if (const std::string rec = env("STANDIN_RECORD"); !rec.empty()) {
        std::ofstream out(rec + ".tmp");
        for (const std::string& a : args) out << "argv\t" << a << '\n';
        for (size_t i = 1; i < args.size(); ++i)
            if (args[i] == "file" && i + 1 < args.size()) {
                std::ifstream f(args[i + 1]);
                std::stringstream text;
                text << f.rdbuf();
                for (const std::string& w : readWords(text.str())) out << "opt\t" << w << '\n';
            }
        out.close();
        std::rename((rec + ".tmp").c_str(), rec.c_str());
    }
    if (const std::string status = env("STANDIN_EXIT"); !status.empty())
        return std::atoi(status.c_str());

    std::string linkname;
    for (size_t i = 0; i + 1 < options.size(); ++i)
        if (options[i] == "linkname") linkname = options[i + 1];

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    if (!env("STANDIN_IGNORE_TERM").empty()) signal(SIGTERM, SIG_IGN);

    const std::string pidFile = env("STANDIN_PIDDIR", "/run") + "/ppp-" + linkname + ".pid";
    auto writePid = [&](const std::string& ifname) {
        if (linkname.empty()) return;
        std::ofstream out(pidFile);
        out << getpid() << '\n' << ifname << '\n';
    };

    if (!env("STANDIN_NOLINK").empty()) {
        writePid("");
        serve(-1, -1);
        unlink(pidFile.c_str());
        return 5;
    }
    if (!inTestNamespace()) {
        std::fprintf(stderr,
                     "standin pppd: refusing to make an interface outside a test namespace\n");
        return 1;
    }
    const int tun = open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    ifreq ifr{};
    ifr.ifr_flags = IFF_TUN | IFF_NO_PI;
    std::snprintf(ifr.ifr_name, IFNAMSIZ, "%s", "ppp%d");
    if (tun < 0 || ioctl(tun, TUNSETIFF, &ifr) != 0) {
        std::fprintf(stderr, "standin pppd: cannot make a TUN interface: %s\n",
                     std::strerror(errno));
        return 1;
    }
    writePid(ifr.ifr_name);

    const long long upMs = std::atoll(env("STANDIN_UP_MS", "300").c_str());
    int status = 5;
    if (serve(tun, upMs)) {
        if (!bringUp(ifr.ifr_name, env("STANDIN_LOCAL", "10.64.0.2"),
                     env("STANDIN_PEER", "10.64.0.1"))) {
            std::fprintf(stderr, "standin pppd: cannot configure %s: %s\n", ifr.ifr_name,
                         std::strerror(errno));
            status = 10;
        } else {
            const std::string drop = env("STANDIN_DROP_MS");
            if (serve(tun, drop.empty() ? -1 : std::atoll(drop.c_str()))) status = 16;
        }
    }
    close(tun);  // a TUN interface that is not persistent goes with its last descriptor
    for (const long long until = nowMs() + std::atoll(env("STANDIN_LINGER_MS", "0").c_str());
         nowMs() < until;)
        usleep(10000);
    unlink(pidFile.c_str());
    return status;
}
