#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zenrun {

// Processes and system services, as far as the dial-up service repair needs them: list the
// processes, read one's command line, end one, ask for a service to start. Every call is
// silent about failure; the repair goes on whatever happens.
class Services {
public:
    struct Process {
        qint64 pid = 0;
        QString imageName;  // the executable's file name, as the system lists it
    };

    // The process that carries the dial-up daemons and the daemons to start again after it
    // was ended. On Linux this is the L2TP daemon instance of our own; the marker is its
    // configuration path, so no other program's daemon is ever taken for ours.
    struct DialUpHost {
        QString imageName;       // compared with a listed image name after lower-casing it
        QString marker;          // occurs (case-sensitive) in the host's command line
        QStringList services;    // started again, in this order
        bool installed = false;  // the dial-up parameters belong on this system at all
    };

    virtual ~Services() = default;
    virtual DialUpHost dialUpHost() const = 0;
    // In the system's listing order.
    virtual std::vector<Process> processes() = 0;
    // The whole command line, arguments separated by one space; empty when unreadable.
    virtual QString commandLine(qint64 pid) = 0;
    virtual void terminate(qint64 pid) = 0;
    // A start request; returns without waiting for the service to come up.
    virtual void startService(const QString& name) = 0;
};

}  // namespace zenrun
