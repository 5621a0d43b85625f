#include "platform/linux/pppdras.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <cerrno>

#include "platform/clock.h"
#include "platform/linux/netlinklinks.h"
#include "platform/linux/ourprocesses.h"
#include "platform/linux/pppdexit.h"
#include "platform/linux/xl2tpdinstance.h"

namespace zenrun {

namespace {

// Dial steps stored while a dial is under way, in the numbering the callers keep.
constexpr std::uint16_t kStepOpenPort = 0;      // pppd started
constexpr std::uint16_t kStepAuthenticate = 5;  // the interface exists; LCP, auth, IPCP under way

constexpr int kAlreadyExists = 183;  // validateName: an entry of that name is there
constexpr int kLookAgainMs = 1000;
constexpr int kExitStatusUnknown = -2;

// Written beside the target and renamed over it, so readers see the old file or the new one;
// created 0600 from the start, since it holds a password.
QString writePrivateFile(const QString& path, const QByteArray& content) {
    const QFileInfo info(path);
    QByteArray tmpl = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") +
                                        info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("cannot write in %1 (%2)")
            .arg(info.absolutePath(), qt_error_string(errno));
    bool ok = ::fchmod(fd, 0600) == 0;
    for (qsizetype done = 0; ok && done < content.size();) {
        const ssize_t n =
            ::write(fd, content.constData() + done, static_cast<size_t>(content.size() - done));
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += n;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(tmpl.constData(), QFile::encodeName(path).constData()) != 0) {
        const QString why = qt_error_string(errno);
        ::unlink(tmpl.constData());
        return QStringLiteral("cannot write %1 (%2)").arg(path, why);
    }
    return {};
}

}  // namespace

struct PppdRas::Link {
    int handle = 0;
    QString entry;
    QString linkname;
    bool l2tp = false;
    std::unique_ptr<QProcess> pppd;  // PPTP: our child; L2TP: xl2tpd's, found by its pid file
    pid_t pid = 0;
    QString ifname;
    std::uint16_t state = kStepOpenPort;
    bool up = false;
    bool over = false;
    bool hangingUp = false;
    std::uint64_t baseTx = 0, baseRx = 0;
};

PppdRas::PppdRas(Clock& clock, PppdRasPaths paths)
    : clock_(clock),
      paths_(std::move(paths)),
      links_(std::make_unique<NetlinkLinks>()),
      xl2tpd_(std::make_unique<Xl2tpdInstance>(paths_.runDir)),
      lookAgain_(std::make_unique<QTimer>()) {
    links_->onChange = [this] { evaluate(); };
    lookAgain_->setInterval(kLookAgainMs);
    QObject::connect(lookAgain_.get(), &QTimer::timeout, lookAgain_.get(), [this] { evaluate(); });
    xl2tpd_->onExit = [this] {
        // pppd may still be closing; the next look sees it gone.
        QTimer::singleShot(0, lookAgain_.get(), [this] { evaluate(); });
    };
}

// The program's normal end: nothing of ours outlives it.
PppdRas::~PppdRas() {
    cleanupLeftovers();
    for (auto& [handle, link] : dials_) {
        if (!link->pppd || link->pppd->state() == QProcess::NotRunning) continue;
        link->pppd->disconnect();
        link->pppd->kill();
        link->pppd->waitForFinished(1000);
    }
}

QString PppdRas::peersPath(const QString& name) const {
    return paths_.peersDir + QLatin1Char('/') + pppd::linkName(name);
}

int PppdRas::refuse(int code, const QString& why) {
    statusStr_ = why;
    return code;
}

QString PppdRas::resolve(const QString& program) const {
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo f(program);
        return f.isFile() && f.isExecutable() ? f.absoluteFilePath() : QString();
    }
    const QString sbin = QStandardPaths::findExecutable(
        program,
        {QStringLiteral("/usr/local/sbin"), QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return sbin.isEmpty() ? QStandardPaths::findExecutable(program) : sbin;
}

QString PppdRas::preflight(bool l2tp) const {
    const int fd = ::open(QFile::encodeName(paths_.devPpp).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM)
            return QStringLiteral("%1 cannot be opened without administrator rights (run as root)")
                .arg(paths_.devPpp);
        return QStringLiteral("this system has no kernel PPP support (%1, module ppp_generic)")
            .arg(paths_.devPpp);
    }
    ::close(fd);
    if (resolve(paths_.pppd).isEmpty())
        return QStringLiteral("pppd is not installed (%1, package ppp)").arg(paths_.pppd);
    if (!l2tp && resolve(paths_.pptp).isEmpty())
        return QStringLiteral("pptp is not installed (%1, package pptp-linux)").arg(paths_.pptp);
    if (l2tp && resolve(paths_.xl2tpd).isEmpty())
        return QStringLiteral("xl2tpd is not installed (%1, package xl2tpd)").arg(paths_.xl2tpd);
    return {};
}

// --- Entry editor

std::optional<pppd::StoredEntry> PppdRas::readEntry(const QString& name) const {
    if (!pppd::checkEntryName(name).isEmpty()) return std::nullopt;
    QFile f(peersPath(name));
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return pppd::parsePeersFile(QString::fromUtf8(f.readAll()));
}

int PppdRas::writeEntry(const QString& name, const pppd::StoredEntry& stored) {
    QString pptp = resolve(paths_.pptp);
    if (pptp.isEmpty()) pptp = paths_.pptp;  // the dial's preflight names it if it stays missing
    if (!stored.entry.l2tp())
        if (QString why = pppd::checkProgramPath(pptp); !why.isEmpty())
            return refuse(rascode::kPortNotAvailable, why);
    if (!QDir().mkpath(paths_.peersDir))
        return refuse(rascode::kCannotWritePhonebook,
                      QStringLiteral("cannot create %1").arg(paths_.peersDir));
    const QString why =
        writePrivateFile(peersPath(name), pppd::peersFile(name, stored, pptp).toUtf8());
    if (!why.isEmpty()) return refuse(rascode::kCannotWritePhonebook, why);
    return 0;
}

int PppdRas::putAllEntryProps(const QString& name) {
    if (QString why = pppd::checkEntryName(name); !why.isEmpty())
        return refuse(rascode::kInvalidName, why);
    if (QString why = pppd::checkServer(entry_.phoneNumber); !why.isEmpty())
        return refuse(rascode::kCannotLoadString, why);
    pppd::StoredEntry stored;
    // Replacing an entry keeps the credentials stored with it.
    if (const auto old = readEntry(name)) stored = *old;
    stored.entry = entry_;
    return writeEntry(name, stored);
}

int PppdRas::putDialProps(const QString& name) {
    if (QString why = pppd::checkEntryName(name); !why.isEmpty())
        return refuse(rascode::kInvalidName, why);
    auto stored = readEntry(name);
    if (!stored)
        return refuse(
            rascode::kCannotFindPhonebookEntry,
            QStringLiteral("there is no dial-up entry %1 (%2)").arg(name, peersPath(name)));
    if (QString why = pppd::checkSecret(QStringLiteral("user name"), dialUser_); !why.isEmpty())
        return refuse(rascode::kCannotLoadString, why);
    if (QString why = pppd::checkSecret(QStringLiteral("password"), dialPassword_); !why.isEmpty())
        return refuse(rascode::kCannotLoadString, why);
    stored->user = dialUser_;
    stored->password = dialPassword_;
    stored->hasCredentials = true;
    return writeEntry(name, *stored);
}

int PppdRas::validateName(const QString& name) {
    if (!pppd::checkEntryName(name).isEmpty()) return rascode::kInvalidName;
    return QFileInfo::exists(peersPath(name)) ? kAlreadyExists : 0;
}

QString PppdRas::phoneNumberOf(const QString& name) {
    const auto stored = readEntry(name);
    return stored ? stored->entry.phoneNumber : QString();
}

int PppdRas::deletePhonebook() {
    if (!pppd::checkEntryName(entryName_).isEmpty())
        return refuse(rascode::kCannotFindPhonebookEntry,
                      QStringLiteral("there is no dial-up entry \"%1\"").arg(entryName_));
    if (!QFile::remove(peersPath(entryName_)))
        return refuse(rascode::kCannotFindPhonebookEntry,
                      QStringLiteral("cannot delete %1").arg(peersPath(entryName_)));
    entryName_.clear();
    return 0;
}

// --- Connection

int PppdRas::getDialParams() {
    const auto stored = readEntry(entryName_);
    if (!stored)
        return refuse(rascode::kCannotFindPhonebookEntry,
                      QStringLiteral("there is no dial-up entry \"%1\" in %2")
                          .arg(entryName_, paths_.peersDir));
    paramUser_ = stored->user;
    paramPassword_ = stored->password;
    return 0;
}

int PppdRas::connectEx(int& handle) {
    if (QString why = pppd::checkEntryName(entryName_); !why.isEmpty())
        return refuse(rascode::kCannotFindPhonebookEntry, why);
    const auto stored = readEntry(entryName_);
    if (!stored)
        return refuse(rascode::kCannotFindPhonebookEntry,
                      QStringLiteral("there is no dial-up entry \"%1\" in %2")
                          .arg(entryName_, paths_.peersDir));
    // The file may have been edited since we wrote it: what reaches pppd is checked again.
    const bool l2tp = stored->entry.l2tp();
    if (QString why = pppd::checkServer(stored->entry.phoneNumber); !why.isEmpty())
        return refuse(rascode::kCannotLoadString, why);
    for (const auto& [what, value] : {std::pair{QStringLiteral("user name"), stored->user},
                                      std::pair{QStringLiteral("password"), stored->password},
                                      std::pair{QStringLiteral("user name"), paramUser_},
                                      std::pair{QStringLiteral("password"), paramPassword_}})
        if (QString why = pppd::checkSecret(what, value); !why.isEmpty())
            return refuse(rascode::kCannotLoadString, why);
    if (QString why = preflight(l2tp); !why.isEmpty())
        return refuse(rascode::kPortNotAvailable, why);

    // Ended dials are only remembered to answer for their handles; unknown handles answer alike.
    // One whose pppd is still on its way out (the interface goes before pppd has ended) stays
    // until that pppd has ended: dropping its process would kill it and leave its pid file.
    for (auto it = dials_.begin(); it != dials_.end();) {
        const Link& l = *it->second;
        const bool ending = l.pppd && l.pppd->state() != QProcess::NotRunning;
        it = l.over && !ending && it->first != watched_ ? dials_.erase(it) : std::next(it);
    }

    auto link = std::make_unique<Link>();
    link->handle = nextHandle_++;
    link->entry = entryName_;
    link->linkname = pppd::linkName(entryName_);
    link->l2tp = l2tp;
    const QString options = peersPath(entryName_);
    if (l2tp) {
        for (const auto& [h, other] : dials_)
            if (other->l2tp && !other->over)
                return refuse(rascode::kPortNotAvailable,
                              QStringLiteral("another L2TP link of this program is still up"));
        if (QString why = xl2tpd_->dial(resolve(paths_.xl2tpd), link->linkname,
                                        stored->entry.phoneNumber, options);
            !why.isEmpty())
            return refuse(rascode::kPortNotAvailable, why);
    } else {
        link->pppd = std::make_unique<QProcess>();
        link->pppd->setProgram(resolve(paths_.pppd));
        link->pppd->setArguments({QStringLiteral("file"), options, QStringLiteral("linkname"),
                                  link->linkname, QStringLiteral("nodetach")});
        link->pppd->setStandardInputFile(QProcess::nullDevice());
        link->pppd->setStandardOutputFile(QProcess::nullDevice());
        link->pppd->setStandardErrorFile(QProcess::nullDevice());
        link->pppd->start();
        if (!link->pppd->waitForStarted(5000))
            return refuse(
                rascode::kPortNotAvailable,
                QStringLiteral("pppd could not be started (%1)").arg(resolve(paths_.pppd)));
        link->pid = static_cast<pid_t>(link->pppd->processId());
        const int h = link->handle;
        QObject::connect(link->pppd.get(), &QProcess::finished, lookAgain_.get(),
                         [this, h](int code, QProcess::ExitStatus how) {
                             if (Link* l = find(h))
                                 ended(*l, how == QProcess::NormalExit ? code : -1);
                         });
    }
    handle = link->handle;
    latest_ = handle;
    state_ = kStepOpenPort;
    dials_[handle] = std::move(link);
    lookAgain_->start();
    return 0;
}

PppdRas::Link* PppdRas::find(int handle) {
    const auto it = dials_.find(handle);
    return it == dials_.end() ? nullptr : it->second.get();
}

void PppdRas::evaluate() {
    bool anyLive = false;
    for (auto& [handle, link] : dials_) {
        if (!link->over) evaluate(*link);
        anyLive = anyLive || !link->over;
    }
    if (!anyLive) lookAgain_->stop();
}

void PppdRas::evaluate(Link& link) {
    if (link.over) return;
    QString ifname;
    const pid_t pid = procs::readPidFile(
        paths_.pidDir + QStringLiteral("/ppp-") + link.linkname + QStringLiteral(".pid"), &ifname);
    if (pid > 0 && (link.l2tp ? isOurs(procs::cmdline(pid)) : pid == link.pid)) {
        link.pid = pid;
        if (!ifname.isEmpty()) link.ifname = ifname;
    }
    if (link.l2tp) {
        // xl2tpd's pppd: its end shows as its pid gone; a tunnel that never started, as xl2tpd
        // gone.
        const bool pppdGone = link.pid > 0 && !procs::alive(link.pid);
        if (pppdGone || (!xl2tpd_->running() && !link.up)) {
            ended(link, kExitStatusUnknown);
            return;
        }
    }
    const auto info = links_->find(link.ifname);
    std::uint16_t next = link.state;
    if (!info) {
        if (link.up) {
            // The interface went away: the link dropped even if pppd lingers.
            if (link.pppd && link.pppd->state() != QProcess::NotRunning) link.pppd->terminate();
            ended(link, kExitStatusUnknown);
            return;
        }
    } else if (!link.up && info->up && !info->local.isEmpty()) {
        link.up = true;
        link.baseTx = info->txBytes;
        link.baseRx = info->rxBytes;
        next = kRasConnected;
    } else if (!link.up) {
        next = kStepAuthenticate;
    }
    link.state = next;
    if (link.handle == latest_ && state_ != next &&
        !(state_ == kRasConnected && next == kRasConnected))
        state_ = next;
}

void PppdRas::ended(Link& link, int exitStatus) {
    if (link.over) return;
    link.over = true;
    if (link.hangingUp) {
        link.state = kRasDisconnected;
    } else if (link.up) {
        link.state = kRasDisconnected;
        const int h = link.handle;
        // Queued, so the handler may hang up or redial without meeting this call half done.
        QTimer::singleShot(0, lookAgain_.get(), [this, h] {
            if (onLinkEnded) onLinkEnded(h);
        });
    } else {
        const pppd::ExitMeaning m =
            link.l2tp || exitStatus == kExitStatusUnknown
                ? pppd::ExitMeaning{rascode::kNoResponses,
                                    QStringLiteral("the L2TP tunnel could not be set up")}
                : pppd::exitMeaning(exitStatus);
        link.state = static_cast<std::uint16_t>(m.code);
        statusStr_ = m.reason;
    }
    if (link.handle == latest_) state_ = link.state;
    // A pppd that was killed leaves its pid file behind.
    const QString pidFile =
        paths_.pidDir + QStringLiteral("/ppp-") + link.linkname + QStringLiteral(".pid");
    if (link.pid > 0 && !procs::alive(link.pid) && procs::readPidFile(pidFile) == link.pid)
        QFile::remove(pidFile);
    if (link.l2tp) finishL2tpIfIdle();
}

void PppdRas::finishL2tpIfIdle() {
    for (const auto& [h, link] : dials_)
        if (link->l2tp && !link->over) return;
    if (xl2tpd_->running()) xl2tpd_->stop();
}

std::uint16_t PppdRas::queried(int handle) {
    Link* link = find(handle);
    if (!link) return kRasQueryFailed;
    evaluate(*link);
    return link->over ? kRasQueryFailed : link->state;
}

void PppdRas::currentStatusEx(int handle) {
    state_ = queried(handle);
}

void PppdRas::disconnectEx(int handle, int waitMs, int pollMs) {
    Link* link = find(handle);
    if (!link || link->over) {
        state_ = kRasQueryFailed;
        return;
    }
    link->hangingUp = true;
    if (link->pppd) {
        link->pppd->terminate();
    } else if (link->pid > 0 && isOurs(procs::cmdline(link->pid))) {
        ::kill(link->pid, SIGTERM);
    } else {
        // xl2tpd has not started pppd yet: ending the tunnel ends the attempt.
        xl2tpd_->stop(waitMs);
    }
    const std::uint32_t start = clock_.tickCount();
    for (;;) {
        currentStatusEx(handle);
        if (state_ == kRasDisconnected || state_ == kRasQueryFailed) return;
        if (static_cast<int>(clock_.tickCount() - start) >= waitMs) break;
        clock_.waitms(pollMs);
    }
    // Still there after the wait: it goes without a goodbye to the peer.
    link = find(handle);
    if (!link || link->over) return;
    if (link->pppd) {
        link->pppd->kill();
        link->pppd->waitForFinished(1000);
    } else if (link->pid > 0 && isOurs(procs::cmdline(link->pid))) {
        ::kill(link->pid, SIGKILL);
    }
    if ((link = find(handle)) && !link->over) ended(*link, -1);
}

PppdRas::Active PppdRas::getConnection() {
    for (auto& [handle, link] : dials_) {
        evaluate(*link);
        if (!link->over) return {link->entry, handle};
    }
    return {};
}

std::optional<RasProjection> PppdRas::ipProjection(int handle) {
    Link* link = find(handle);
    if (!link || link->over || !link->up) return std::nullopt;
    const auto info = links_->find(link->ifname);
    if (!info || info->local.isEmpty()) return std::nullopt;
    return RasProjection{info->local, info->peer, link->ifname};
}

// --- Traffic counters

void PppdRas::watch(int /*slot*/, int handle) {
    watched_ = handle;
}

void PppdRas::refreshCounters() {
    xmited_ = rcved_ = 0;
    Link* link = find(watched_);
    if (!link || link->over || !link->up) return;
    if (const auto info = links_->find(link->ifname)) {
        xmited_ = info->txBytes >= link->baseTx ? info->txBytes - link->baseTx : 0;
        rcved_ = info->rxBytes >= link->baseRx ? info->rxBytes - link->baseRx : 0;
    }
}

void PppdRas::resetPerfStats() {
    xmited_ = rcved_ = 0;
    Link* link = find(watched_);
    if (!link || link->over || !link->up) return;
    if (const auto info = links_->find(link->ifname)) {
        link->baseTx = info->txBytes;
        link->baseRx = info->rxBytes;
    }
}

// --- Leftovers

bool PppdRas::isOurs(const QStringList& args) const {
    if (args.isEmpty()) return false;
    const QString program = QFileInfo(args.first()).fileName();
    const QString pppd = QFileInfo(paths_.pppd).fileName();
    if (program != QLatin1String("pppd") && program != pppd) return false;
    const QString ours = paths_.peersDir + QLatin1Char('/') + QLatin1String(pppd::kPrefix);
    for (const QString& a : args)
        if (a.startsWith(ours)) return true;
    return false;
}

void PppdRas::cleanupLeftovers() {
    for (auto& [handle, link] : dials_)
        if (!link->over) disconnectEx(handle);
    for (const pid_t pid : procs::matching([this](const QStringList& a) { return isOurs(a); }))
        procs::terminate(pid, 3000);
    // Pid files of ours whose pppd is gone (killed) would name an interface that no longer exists.
    const QDir pids(paths_.pidDir);
    for (const QString& f : pids.entryList(
             {QStringLiteral("ppp-%1*.pid").arg(QLatin1String(pppd::kPrefix))}, QDir::Files)) {
        const pid_t pid = procs::readPidFile(pids.filePath(f));
        if (pid > 0 && procs::alive(pid) && isOurs(procs::cmdline(pid)))
            procs::terminate(pid, 3000);
        if (pid <= 0 || !procs::alive(pid)) QFile::remove(pids.filePath(f));
    }
    if (xl2tpd_->running())
        xl2tpd_->stop();
    else
        xl2tpd_->stopLeftover();
    // Our entries, and the half-written ones of a write that was cut short.
    const QDir peers(paths_.peersDir);
    const QString prefix = QLatin1String(pppd::kPrefix);
    for (const QString& f :
         peers.entryList({prefix + QLatin1Char('*'), QLatin1Char('.') + prefix + QLatin1Char('*')},
                         QDir::Files | QDir::Hidden)) {
        const QString rest = f.mid(f.indexOf(prefix) + prefix.size());
        if (!rest.isEmpty() && rest.front().isDigit()) QFile::remove(peers.filePath(f));
    }
}

}  // namespace zenrun
