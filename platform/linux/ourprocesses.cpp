#include "platform/linux/ourprocesses.h"

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <chrono>
#include <thread>

namespace zenrun::procs {

QStringList cmdline(pid_t pid) {
    QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArray raw = f.readAll();
    if (raw.endsWith('\0')) raw.chop(1);
    if (raw.isEmpty()) return {};
    QStringList out;
    for (const QByteArray& a : raw.split('\0')) out << QString::fromLocal8Bit(a);
    return out;
}

bool alive(pid_t pid) {
    if (pid <= 0 || ::kill(pid, 0) != 0) return false;
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray stat = f.readAll();
    const qsizetype close = stat.lastIndexOf(')');
    return close >= 0 && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

std::vector<pid_t> matching(const std::function<bool(const QStringList&)>& match) {
    std::vector<pid_t> out;
    const pid_t self = getpid();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const pid_t pid = entry.toInt(&ok);
        if (!ok || pid == self) continue;
        const QStringList args = cmdline(pid);
        if (!args.isEmpty() && match(args)) out.push_back(pid);
    }
    return out;
}

pid_t readPidFile(const QString& path, QString* ifname) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> lines = f.read(256).split('\n');
    bool ok = false;
    const pid_t pid = lines.value(0).trimmed().toInt(&ok);
    if (!ok || pid <= 0) return 0;
    if (ifname) *ifname = QString::fromLatin1(lines.value(1).trimmed());
    return pid;
}

void terminate(pid_t pid, int waitMs) {
    if (!alive(pid)) return;
    ::kill(pid, SIGTERM);
    for (int waited = 0; waited < waitMs && alive(pid); waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (alive(pid)) ::kill(pid, SIGKILL);
}

}  // namespace zenrun::procs
