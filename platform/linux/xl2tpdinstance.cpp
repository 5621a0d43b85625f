#include "platform/linux/xl2tpdinstance.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>

#include "platform/linux/ourprocesses.h"

namespace zenrun {

namespace {

QString writePrivate(const QString& path, const QByteArray& content) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return QStringLiteral("cannot write %1").arg(path);
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    f.write(content);
    if (!f.commit()) return QStringLiteral("cannot write %1").arg(path);
    return {};
}

}  // namespace

Xl2tpdInstance::Xl2tpdInstance(QString runDir) : runDir_(std::move(runDir)) {}

Xl2tpdInstance::~Xl2tpdInstance() {
    stop(1000);
}

QString Xl2tpdInstance::configPath() const {
    return runDir_ + QStringLiteral("/xl2tpd.conf");
}
QString Xl2tpdInstance::pidPath() const {
    return runDir_ + QStringLiteral("/xl2tpd.pid");
}

bool Xl2tpdInstance::running() const {
    return proc_ && proc_->state() != QProcess::NotRunning;
}

QString Xl2tpdInstance::dial(const QString& program, const QString& lac, const QString& lns,
                             const QString& optionsFile) {
    stop();
    if (!QDir().mkpath(runDir_)) return QStringLiteral("cannot create %1").arg(runDir_);
    ::chmod(QFile::encodeName(runDir_).constData(), 0700);
    const QString secrets = runDir_ + QStringLiteral("/l2tp-secrets");
    const QString config = QStringLiteral(
                               "; zenrun's own L2TP tunnel; removed when its last link ends\n"
                               "[global]\n"
                               "auth file = %1\n"
                               "access control = no\n"
                               "\n"
                               "[lac %2]\n"
                               "lns = %3\n"
                               "pppoptfile = %4\n"
                               "autodial = yes\n"
                               "redial = no\n"
                               "length bit = yes\n")
                               .arg(secrets, lac, lns, optionsFile);
    if (QString why = writePrivate(secrets, "# no tunnel secrets\n"); !why.isEmpty()) return why;
    if (QString why = writePrivate(configPath(), config.toUtf8()); !why.isEmpty()) return why;

    proc_ = std::make_unique<QProcess>();
    proc_->setProgram(program);
    proc_->setArguments({QStringLiteral("-D"), QStringLiteral("-c"), configPath(),
                         QStringLiteral("-s"), secrets, QStringLiteral("-p"), pidPath(),
                         QStringLiteral("-C"), runDir_ + QStringLiteral("/l2tp-control")});
    proc_->setStandardInputFile(QProcess::nullDevice());
    proc_->setStandardOutputFile(QProcess::nullDevice());
    proc_->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(proc_.get(), &QProcess::finished, proc_.get(), [this] {
        if (stopping_) return;
        removeFiles();
        if (onExit) onExit();
    });
    proc_->start();
    if (!proc_->waitForStarted(5000)) {
        const QString why = QStringLiteral("xl2tpd could not be started (%1)").arg(program);
        proc_.reset();
        removeFiles();
        return why;
    }
    return {};
}

void Xl2tpdInstance::stop(int waitMs) {
    if (proc_) {
        stopping_ = true;
        if (proc_->state() != QProcess::NotRunning) {
            proc_->terminate();
            if (!proc_->waitForFinished(waitMs)) {
                proc_->kill();
                proc_->waitForFinished(1000);
            }
        }
        proc_.reset();
        stopping_ = false;
    }
    removeFiles();
}

void Xl2tpdInstance::stopLeftover() {
    if (running()) return;
    const pid_t pid = procs::readPidFile(pidPath());
    if (pid > 0 && procs::cmdline(pid).contains(configPath())) procs::terminate(pid, 3000);
    removeFiles();
}

void Xl2tpdInstance::removeFiles() {
    for (const char* name : {"xl2tpd.conf", "l2tp-secrets", "xl2tpd.pid", "l2tp-control"})
        QFile::remove(runDir_ + QLatin1Char('/') + QLatin1String(name));
}

}  // namespace zenrun
