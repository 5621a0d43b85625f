#pragma once

// A network namespace whose block 10.200.0.0/16 is routed into a TUN device owned by the
// ICMP responder (icmpresponder.cpp): each address answers pings after the delay the test
// chose, or never. The namespace and the responder go with the destructor. Nothing is sent
// anywhere outside the namespace.

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <QFile>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <map>
#include <memory>
#include <thread>

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
        responder_.start(QStringLiteral("ip"), args);
        if (!responder_.waitForReadyRead(10000) || !responder_.readLine().startsWith("ready")) {
            why_ = QStringLiteral("the ICMP responder did not start: ") +
                   QString::fromLocal8Bit(responder_.readAllStandardError());
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
        if (responder_.state() != QProcess::NotRunning) {
            responder_.terminate();
            if (!responder_.waitForFinished(5000)) responder_.kill();
            responder_.waitForFinished();
        }
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
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            error_ = program + QStringLiteral(" timed out");
            return false;
        }
        const QByteArray err = p.readAllStandardError();
        if (out) *out = QString::fromLocal8Bit(p.readAllStandardOutput() + err);
        error_ = QString::fromLocal8Bit(err);
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QString name_;
    QString why_;
    QString error_;
    bool created_ = false;
    QTemporaryDir dir_;
    QProcess responder_;
};

}  // namespace zenrun::testing
