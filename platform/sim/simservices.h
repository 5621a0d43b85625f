#pragma once

#include <QStringList>
#include <map>

#include "platform/services.h"

namespace zenrun {

// Processes and services in memory. The driving API lists processes (in the order given),
// makes a command line unreadable, and tells which calls the client made.
class SimServices : public Services {
public:
    SimServices();

    DialUpHost dialUpHost() const override { return host_; }
    std::vector<Process> processes() override;
    QString commandLine(qint64 pid) override;
    void terminate(qint64 pid) override;
    void startService(const QString& name) override;

    // --- Driving API
    void setDialUpHost(DialUpHost host) { host_ = std::move(host); }
    // Adds a process at the end of the listing. An empty command line reads as unreadable.
    void addProcess(qint64 pid, const QString& imageName, const QString& commandLine);
    // Starting `service` lists this process again when it is not listed (a daemon that
    // comes back when its service starts).
    void setServiceProcess(const QString& service, qint64 pid, const QString& imageName,
                           const QString& commandLine);
    bool running(qint64 pid) const;
    // "processes", "commandLine PID", "terminate PID", "start NAME", in order.
    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

private:
    struct Entry {
        Process process;
        QString commandLine;
    };
    DialUpHost host_;
    std::vector<Entry> listed_;
    std::map<QString, Entry> comesBack_;
    QStringList calls_;
};

}  // namespace zenrun
