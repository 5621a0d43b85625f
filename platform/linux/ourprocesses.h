#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace zenrun::procs {

// A process's arguments from /proc (empty when it is gone or unreadable).
QStringList cmdline(pid_t pid);
// Alive and not a zombie.
bool alive(pid_t pid);
// Every process whose arguments `match` accepts (never this process).
std::vector<pid_t> matching(const std::function<bool(const QStringList&)>& match);
// pppd's pid file: the pid on the first line, the interface on the second. 0 when unreadable.
pid_t readPidFile(const QString& path, QString* ifname = nullptr);
// SIGTERM, up to `waitMs` for it to go, then SIGKILL. For processes that are not our children.
void terminate(pid_t pid, int waitMs);

}  // namespace zenrun::procs
