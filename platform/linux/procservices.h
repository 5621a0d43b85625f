#pragma once

#include "platform/services.h"

namespace zenrun {

// Processes through /proc and signals; services through systemd.
//
// The dial-up host is the L2TP daemon instance of our own (its command line names our
// configuration). No service has to be started again after it was ended: the dial-up service
// starts that instance itself at the next L2TP dial, with the settings then in force, and a
// second instance started here would dial a tunnel nobody follows. So the host's service list
// is empty on Linux and the repair ends the instance and gives the system its ten seconds.
class ProcServices : public Services {
public:
    struct Options {
        QString procRoot = QStringLiteral("/proc");
        QString runDir = QStringLiteral("/run/zenrun");  // our daemon's config, pid, control
        QString xl2tpd = QStringLiteral("xl2tpd");       // program, found on PATH
        QString systemctl = QStringLiteral("systemctl");
    };
    ProcServices();
    explicit ProcServices(Options options);

    DialUpHost dialUpHost() const override;
    std::vector<Process> processes() override;
    QString commandLine(qint64 pid) override;
    void terminate(qint64 pid) override;
    void startService(const QString& name) override;

    QString configPath() const;

private:
    Options o_;
};

}  // namespace zenrun
