// A run of the client that dials and is then killed by the test: it writes an entry, starts
// pppd (the stand-in, without a link) and waits. Arguments: PEERSDIR PIDDIR RUNDIR PPPD.
#include <QCoreApplication>
#include <cstdio>

#include "platform/linux/pppdras.h"
#include "platform/linux/qtclock.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 5) return 2;
    zenrun::QtClock clock;
    zenrun::PppdRasPaths paths;
    paths.peersDir = QString::fromLocal8Bit(argv[1]);
    paths.pidDir = QString::fromLocal8Bit(argv[2]);
    paths.runDir = QString::fromLocal8Bit(argv[3]);
    paths.pppd = QString::fromLocal8Bit(argv[4]);
    paths.pptp = QStringLiteral("/bin/true");
    paths.devPpp = QStringLiteral("/dev/null");
    // Never destroyed: the process ends by SIGKILL, so nothing of its own clean-up runs.
    auto* ras = new zenrun::PppdRas(clock, paths);
    ras->pppDefault();
    ras->entry().phoneNumber = QStringLiteral("127.0.0.1");
    const QString name = QStringLiteral("123");
    ras->setDialCredentials(QStringLiteral("alice"), QStringLiteral("s3cret"));
    if (ras->putAllEntryProps(name) || ras->putDialProps(name)) return 1;
    ras->setEntryName(name);
    int handle = 0;
    if (ras->getDialParams() || ras->connectEx(handle)) return 1;
    std::printf("dialled %d\n", handle);
    std::fflush(stdout);
    return QCoreApplication::exec();
}
