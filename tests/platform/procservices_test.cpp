// The Linux process and service layer on this machine's /proc, with stand-in programs.
#include "platform/linux/procservices.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>

namespace zenrun {
namespace {

struct ProcServicesTest : ::testing::Test {
    QTemporaryDir dir;
    QString daemon;  // a shell under the daemon's name: its image name is "xl2tpd"

    void SetUp() override {
        daemon = dir.path() + QStringLiteral("/xl2tpd");
        ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sh"), daemon));
        QFile::setPermissions(daemon, QFile::permissions(daemon) | QFileDevice::ExeOwner);
    }
    ProcServices services() {
        ProcServices::Options o;
        o.runDir = dir.path();
        o.xl2tpd = daemon;
        return ProcServices(o);
    }
    // Our daemon instance as it runs: its command line names our configuration.
    std::unique_ptr<QProcess> startHost() {
        auto p = std::make_unique<QProcess>();
        p->start(daemon, {"-c", "sleep 30; :", "x", "-c", services().configPath()});
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
    static bool listed(ProcServices& s, qint64 pid, const QString& image) {
        const auto all = s.processes();
        return std::any_of(all.begin(), all.end(), [&](const Services::Process& p) {
            return p.pid == pid && p.imageName == image;
        });
    }
};

TEST_F(ProcServicesTest, ListsReadsAndEndsOurDaemon) {
    ProcServices s = services();
    const Services::DialUpHost host = s.dialUpHost();
    EXPECT_EQ(host.imageName, QStringLiteral("xl2tpd"));
    EXPECT_EQ(host.marker, dir.path() + QStringLiteral("/xl2tpd.conf"));
    EXPECT_TRUE(host.services.isEmpty()) << "the next L2TP dial starts our daemon again";
    EXPECT_TRUE(host.installed);

    auto host1 = startHost();
    const qint64 pid = host1->processId();
    EXPECT_TRUE(listed(s, pid, QStringLiteral("xl2tpd")));
    const auto all = s.processes();
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(),
                               [](const auto& a, const auto& b) { return a.pid < b.pid; }));
    EXPECT_EQ(s.commandLine(pid), daemon + QStringLiteral(" -c sleep 30; : x -c ") + host.marker);
    EXPECT_EQ(s.commandLine(999999999), QString());

    s.terminate(pid);
    EXPECT_TRUE(host1->waitForFinished(3000));
    EXPECT_FALSE(listed(s, pid, QStringLiteral("xl2tpd")));
}

TEST_F(ProcServicesTest, AServiceNameReachesSystemctlOnlyInAUnitsShape) {
    // A stand-in systemctl records its arguments.
    const QString ctl = dir.path() + QStringLiteral("/systemctl");
    QFile script(ctl);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/ctl\"\n");
    script.close();
    QFile::setPermissions(ctl, QFile::permissions(ctl) | QFileDevice::ExeOwner);
    ProcServices::Options o;
    o.runDir = dir.path();
    o.systemctl = ctl;
    ProcServices s(o);
    for (const char* bad : {"--now", "a b", "x;reboot", ""})
        s.startService(QString::fromLatin1(bad));
    s.startService(QStringLiteral("NetworkManager.service"));
    const QString log = dir.path() + QStringLiteral("/ctl");
    for (int i = 0; i < 50 && !QFile::exists(log); ++i) QThread::msleep(50);
    QThread::msleep(200);
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              QStringLiteral("--no-block start NetworkManager.service\n"));
}

}  // namespace
}  // namespace zenrun
