#pragma once

// A network namespace whose block 10.200.0.0/16 is routed into a TUN device owned by the
// ICMP responder (icmpresponder.cpp): each address answers pings after the delay the test
// chose, or never. The namespace and the responder go with the destructor. Nothing is sent
// anywhere outside the namespace.
//
// Programs are started with fork and exec rather than QProcess: QProcess creates its children
// with a clone() of its own, which ThreadSanitizer mishandles (its view of this process's
// locks is lost afterwards, and every later access looks like a race).

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "platform/linux/linuxicmp.h"

namespace zenrun::testing {

class IcmpNetns {
public:
    struct Arrival {
        qint64 ns;  // CLOCK_MONOTONIC, as std::chrono::steady_clock
        QString address;
        int seq;
    };

    // `delays`: address -> ms (-1 silent); others answer after `defaultMs` (-1: silent).
    // `pingGroup`: let every group open datagram ICMP sockets inside the namespace.
    explicit IcmpNetns(const std::map<QString, int>& delays, int defaultMs = -1,
                       bool pingGroup = false) {
        static std::atomic<int> counter{0};
        name_ = QStringLiteral("zrtest-%1-icmp%2").arg(getpid()).arg(counter++);
        if (geteuid() != 0) {
            why_ = QStringLiteral("needs root to create a network namespace and a TUN device");
            return;
        }
        if (!QFile::exists(QStringLiteral("/dev/net/tun"))) {
            why_ = QStringLiteral("no /dev/net/tun");
            return;
        }
        if (!run(QStringLiteral("ip"), {"netns", "add", name_})) {
            why_ = QStringLiteral("cannot create a network namespace: ") + error_;
            return;
        }
        created_ = true;
        QStringList args = {"netns",     "exec",
                            name_,       QStringLiteral(ZENRUN_ICMP_RESPONDER),
                            "--tun",     "zrtun0",
                            "--log",     log(),
                            "--default", QString::number(defaultMs)};
        for (const auto& [address, ms] : delays)
            args << address + QLatin1Char('=') + QString::number(ms);
        args.prepend(QStringLiteral("ip"));
        responder_ = spawn(args, &responderOut_);
        if (responder_ < 0 || !readyWithin(10000)) {
            why_ = QStringLiteral("the ICMP responder did not start");
            return;
        }
        const bool ok =
            in({"link", "set", "lo", "up"}) && in({"link", "set", "zrtun0", "up"}) &&
            in({"addr", "add", "10.199.0.1/32", "dev", "zrtun0"}) &&
            in({"route", "add", "10.200.0.0/16", "dev", "zrtun0", "src", "10.199.0.1"}) &&
            (!pingGroup || run(QStringLiteral("ip"), {"netns", "exec", name_, "sysctl", "-qw",
                                                      "net.ipv4.ping_group_range=0 2147483647"}));
        if (!ok) why_ = QStringLiteral("cannot set up the test namespace: ") + error_;
    }
    ~IcmpNetns() {
        if (responder_ > 0) {
            ::kill(responder_, SIGTERM);
            if (!reap(responder_, 5000)) {
                ::kill(responder_, SIGKILL);
                reap(responder_, -1);
            }
        }
        if (responderOut_ >= 0) ::close(responderOut_);
        if (created_) run(QStringLiteral("ip"), {"netns", "del", name_});
    }
    IcmpNetns(const IcmpNetns&) = delete;
    IcmpNetns& operator=(const IcmpNetns&) = delete;

    // Empty when usable; otherwise why not (the test skips with it).
    const QString& unusable() const { return why_; }
    const QString& name() const { return name_; }

    // An echo service whose socket lives in the namespace (opened by a thread that entered
    // it; the calling thread stays where it was). Null on failure.
    std::unique_ptr<LinuxIcmp> openIcmp(bool allowDatagram = true) {
        auto icmp = std::make_unique<LinuxIcmp>();
        bool ok = false;
        const QByteArray path = ("/run/netns/" + name_).toLocal8Bit();
        std::thread t([&] {
            const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) return;
            const bool entered = setns(fd, CLONE_NEWNET) == 0;
            ::close(fd);
            if (entered) ok = icmp->open(allowDatagram);
        });
        t.join();
        if (!ok) icmp.reset();
        return icmp;
    }

    // Every request the responder saw so far, in order of arrival.
    QList<Arrival> arrivals() const {
        QList<Arrival> out;
        QFile f(log());
        if (!f.open(QIODevice::ReadOnly)) return out;
        for (const QByteArray& line : f.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 3) continue;
            out.append({parts[0].toLongLong(), QString::fromLatin1(parts[1]), parts[2].toInt()});
        }
        return out;
    }

    // Runs a command inside the namespace; its standard output, or nothing on failure.
    QString exec(QStringList args, int timeoutMs = 60000) {
        args.prepend(name_);
        args.prepend(QStringLiteral("exec"));
        args.prepend(QStringLiteral("netns"));
        QString out;
        run(QStringLiteral("ip"), args, &out, timeoutMs);
        return out;
    }

private:
    QString log() const { return dir_.filePath(QStringLiteral("arrivals.log")); }
    bool in(QStringList args) {
        args.prepend(name_);
        args.prepend(QStringLiteral("-n"));
        return run(QStringLiteral("ip"), args);
    }
    bool run(const QString& program, const QStringList& args, QString* out = nullptr,
             int timeoutMs = 30000) {
        int fd = -1;
        const pid_t pid = spawn(QStringList{program} + args, &fd);
        if (pid < 0) {
            error_ = program + QStringLiteral(" could not be started");
            return false;
        }
        // Standard output and error together, until the program closes them.
        QByteArray text;
        readInto(fd, text, timeoutMs, [](const QByteArray&) { return false; });
        ::close(fd);
        int status = 0;
        if (!reap(pid, 1000, &status)) {
            ::kill(pid, SIGKILL);
            reap(pid, -1);
            error_ = program + QStringLiteral(" timed out");
            return false;
        }
        if (out) *out = QString::fromLocal8Bit(text);
        error_ = QString::fromLocal8Bit(text);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // Starts argv[0] (looked up in PATH) with standard output and error on a pipe whose
    // reading end goes to *out. The child only execs.
    static pid_t spawn(const QStringList& argv, int* out) {
        std::vector<QByteArray> bytes;
        for (const QString& a : argv) bytes.push_back(a.toLocal8Bit());
        std::vector<char*> ptrs;
        for (QByteArray& b : bytes) ptrs.push_back(b.data());
        ptrs.push_back(nullptr);
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::dup2(fds[1], STDERR_FILENO);
            ::execvp(ptrs[0], ptrs.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        if (pid < 0) {
            ::close(fds[0]);
            return -1;
        }
        *out = fds[0];
        return pid;
    }

    // Waits for the child to end, at most `ms` (-1: as long as it takes).
    static bool reap(pid_t pid, int ms, int* status = nullptr) {
        int st = 0;
        for (int waited = 0;; waited += 10) {
            const pid_t r = ::waitpid(pid, &st, ms < 0 ? 0 : WNOHANG);
            if (r == pid || (r < 0 && errno != EINTR)) break;
            if (ms >= 0 && waited >= ms) return false;
            if (r == 0) ::usleep(10000);
        }
        if (status) *status = st;
        return true;
    }

    // Appends what `fd` delivers to `text` until `enough(text)` holds (true), or the writer
    // closes it or `ms` have passed (false).
    static bool readInto(int fd, QByteArray& text, int ms,
                         const std::function<bool(const QByteArray&)>& enough) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!enough(text)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  until - std::chrono::steady_clock::now())
                                  .count();
            pollfd p{fd, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
            char buf[4096];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0) return false;
            text.append(buf, n);
        }
        return true;
    }

    // The responder says "ready" once its TUN device is up.
    bool readyWithin(int ms) {
        QByteArray text;
        return readInto(responderOut_, text, ms,
                        [](const QByteArray& t) { return t.contains("ready"); });
    }

    QString name_;
    QString why_;
    QString error_;
    bool created_ = false;
    QTemporaryDir dir_;
    pid_t responder_ = -1;
    int responderOut_ = -1;
};

}  // namespace zenrun::testing
