#include "platform/linux/linuxshell.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace zenrun {

namespace {
// The user behind sudo or pkexec when the client runs elevated; -1 when not elevated.
long desktopUid() {
    if (geteuid() != 0) return -1;
    bool ok = false;
    const long pk = qEnvironmentVariable("PKEXEC_UID").toLong(&ok);
    if (ok) return pk;
    const long su = qEnvironmentVariable("SUDO_UID").toLong(&ok);
    if (ok) return su;
    return -1;
}
}  // namespace

bool LinuxShell::openUrl(const QString& url) {
    // A browser must not run as root: hand the page to the desktop user when elevated.
    const long uid = desktopUid();
    if (uid > 0) {
        if (const passwd* pw = getpwuid(static_cast<uid_t>(uid)))
            return QProcess::startDetached(QStringLiteral("runuser"),
                                           {QStringLiteral("-u"), QString::fromLocal8Bit(pw->pw_name),
                                            QStringLiteral("--"), QStringLiteral("xdg-open"), url});
    }
    return QProcess::startDetached(QStringLiteral("xdg-open"), {url});
}

bool LinuxShell::deleteFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return true;
    if (info.isDir() && !info.isSymLink()) return false;
    return QFile::remove(path);
}

QString LinuxShell::desktopUserHome() const {
    if (!home_.isEmpty()) return home_;
    const long uid = desktopUid();
    if (uid >= 0) {
        if (const passwd* pw = getpwuid(static_cast<uid_t>(uid)))
            return QString::fromLocal8Bit(pw->pw_dir);
    }
    return QDir::homePath();
}

}  // namespace zenrun
