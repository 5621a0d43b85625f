#include "platform/linux/procservices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <csignal>

namespace zenrun {

ProcServices::ProcServices() : ProcServices(Options{}) {}
ProcServices::ProcServices(Options options) : o_(std::move(options)) {}

QString ProcServices::configPath() const {
    return o_.runDir + QStringLiteral("/xl2tpd.conf");
}

Services::DialUpHost ProcServices::dialUpHost() const {
    DialUpHost h;
    h.imageName = QFileInfo(o_.xl2tpd).fileName().toLower();
    h.marker = configPath();
    // pppd and xl2tpd live in the sbin folders, which a desktop user's PATH may lack.
    const QStringList sbin = {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")};
    h.installed = QFileInfo(o_.xl2tpd).isExecutable() ||
                  !QStandardPaths::findExecutable(o_.xl2tpd, sbin).isEmpty() ||
                  !QStandardPaths::findExecutable(o_.xl2tpd).isEmpty();
    return h;
}

// Ascending process ids: the order the kernel hands out ids, as a snapshot walk would list.
std::vector<Services::Process> ProcServices::processes() {
    std::vector<Process> out;
    const QStringList names = QDir(o_.procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool ok = false;
        const qint64 pid = name.toLongLong(&ok);
        if (!ok || pid <= 0) continue;
        const QString dir = o_.procRoot + QLatin1Char('/') + name;
        // The executable's file name; processes of other users (or kernel threads) only show
        // their short command name.
        QString image = QFileInfo(QFile::symLinkTarget(dir + QStringLiteral("/exe"))).fileName();
        if (image.isEmpty()) {
            QFile comm(dir + QStringLiteral("/comm"));
            if (comm.open(QIODevice::ReadOnly)) image = QString::fromUtf8(comm.readAll()).trimmed();
        }
        if (image.endsWith(QLatin1String(" (deleted)"))) image.chop(10);
        if (!image.isEmpty()) out.push_back({pid, image});
    }
    std::sort(out.begin(), out.end(),
              [](const Process& a, const Process& b) { return a.pid < b.pid; });
    return out;
}

QString ProcServices::commandLine(qint64 pid) {
    QFile f(o_.procRoot + QStringLiteral("/%1/cmdline").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArray raw = f.readAll();
    while (raw.endsWith('\0')) raw.chop(1);
    raw.replace('\0', ' ');
    return QString::fromUtf8(raw);
}

void ProcServices::terminate(qint64 pid) {
    if (pid > 1) ::kill(static_cast<pid_t>(pid), SIGTERM);
}

void ProcServices::startService(const QString& name) {
    // A unit name reaches systemctl as one argument, and only in the shape units have.
    static const QRegularExpression unit(QStringLiteral("^[A-Za-z0-9@._-]+$"));
    if (!unit.match(name).hasMatch() || name.startsWith(QLatin1Char('-'))) return;
    QProcess::startDetached(o_.systemctl,
                            {QStringLiteral("--no-block"), QStringLiteral("start"), name});
}

}  // namespace zenrun
