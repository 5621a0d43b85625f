#pragma once

// A private network namespace for route tests and benchmarks, removed again by the
// destructor. Inside it: interface zr0 (10.200.0.1/24) with the default route via
// 10.200.0.254, and a second interface zr2 (10.200.1.1/24) so that a wrong interface shows.
// Nothing is ever done to the namespace of the process itself.

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cerrno>
#include <memory>
#include <thread>

#include "platform/linux/netlinkiphelper.h"

namespace zenrun::testing {

class TestNetns {
  public:
    static constexpr const char* kGateway = "10.200.0.254";

    TestNetns() {
        static std::atomic<int> counter{0};
        name_ = QStringLiteral("zrtest-%1-%2").arg(getpid()).arg(counter++);
        if (geteuid() != 0) {
            why_ = QStringLiteral("needs root to create a network namespace");
            return;
        }
        if (!ip({"netns", "add", name_})) {
            why_ = QStringLiteral("cannot create a network namespace (ip netns add failed)");
            return;
        }
        created_ = true;
        removeStale();
        const bool ok =
            in({"link", "set", "lo", "up"}) &&
            in({"link", "add", "zr0", "type", "veth", "peer", "name", "zr1"}) &&
            in({"link", "add", "zr2", "type", "veth", "peer", "name", "zr3"}) &&
            in({"addr", "add", "10.200.0.1/24", "dev", "zr0"}) &&
            in({"addr", "add", "10.200.1.1/24", "dev", "zr2"}) &&
            in({"link", "set", "zr0", "up"}) && in({"link", "set", "zr1", "up"}) &&
            in({"link", "set", "zr2", "up"}) && in({"link", "set", "zr3", "up"}) &&
            in({"route", "add", "default", "via", kGateway, "dev", "zr0", "metric", "100"});
        if (!ok) why_ = QStringLiteral("cannot set up the test namespace: ") + error_;
    }
    ~TestNetns() {
        if (created_) ip({"netns", "del", name_});
    }
    TestNetns(const TestNetns&) = delete;
    TestNetns& operator=(const TestNetns&) = delete;

    // Empty when usable; otherwise why not (the test skips with it).
    const QString& unusable() const { return why_; }
    const QString& name() const { return name_; }

    // "ip -n <ns> args...": true on success; output in `out`.
    bool in(QStringList args, QString* out = nullptr) {
        args.prepend(name_);
        args.prepend(QStringLiteral("-n"));
        return ip(args, out);
    }
    QString show(const QStringList& args) {
        QString out;
        in(args, &out);
        return out;
    }
    int ifIndex(const QString& dev) {
        const QString out = show({"-o", "link", "show", "dev", dev});
        return out.section(QLatin1Char(':'), 0, 0).toInt();
    }

    // A netlink helper bound to the namespace: the socket is opened by a thread that has
    // entered it, so the calling thread stays where it was. Null on any failure.
    std::unique_ptr<NetlinkIpHelper> openIpHelper() {
        std::unique_ptr<NetlinkIpHelper> helper;
        const QByteArray path = ("/run/netns/" + name_).toLocal8Bit();
        std::thread t([&] {
            const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) return;
            const bool entered = setns(fd, CLONE_NEWNET) == 0;
            ::close(fd);
            if (entered) helper = std::make_unique<NetlinkIpHelper>();
        });
        t.join();
        if (helper && !helper->isOpen()) helper.reset();
        return helper;
    }

    bool ip(const QStringList& args, QString* out = nullptr) {
        QProcess p;
        p.start(QStringLiteral("ip"), args);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            error_ = QStringLiteral("ip timed out");
            return false;
        }
        if (out) *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        error_ = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

  private:
    // Namespaces of test processes that died before their destructor ran.
    void removeStale() {
        QString out;
        ip({"netns", "list"}, &out);
        for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString ns = line.section(QLatin1Char(' '), 0, 0);
            if (!ns.startsWith(QLatin1String("zrtest-"))) continue;
            const pid_t owner = ns.section(QLatin1Char('-'), 1, 1).toInt();
            if (owner > 0 && owner != getpid() && ::kill(owner, 0) != 0 && errno == ESRCH)
                ip({"netns", "del", ns});
        }
    }

    QString name_;
    QString why_;
    QString error_;
    bool created_ = false;
};

// Moves the calling thread into the namespace `name` (the netlink sockets it opens and the
// programs it starts then live there) and back again at the end.
class InsideNetns {
  public:
    explicit InsideNetns(const QString& name) {
        home_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        const int fd =
            ::open(QFile::encodeName("/run/netns/" + name).constData(), O_RDONLY | O_CLOEXEC);
        entered_ = home_ >= 0 && fd >= 0 && setns(fd, CLONE_NEWNET) == 0;
        if (fd >= 0) ::close(fd);
    }
    ~InsideNetns() {
        if (entered_) setns(home_, CLONE_NEWNET);
        if (home_ >= 0) ::close(home_);
    }
    InsideNetns(const InsideNetns&) = delete;
    InsideNetns& operator=(const InsideNetns&) = delete;
    bool entered() const { return entered_; }

  private:
    int home_ = -1;
    bool entered_ = false;
};

}  // namespace zenrun::testing
