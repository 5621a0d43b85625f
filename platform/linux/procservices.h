#pragma once

#include "platform/services.h"

namespace zenrun {

// Processes through /proc and signals; services through systemd, except the L2TP daemon
// instance of our own, which no unit describes and which is started here directly.
class ProcServices : public Services {
public:
    struct Options {
        QString procRoot = QStringLiteral("/proc");
        QString runDir = QStringLiteral("/run/zenrun");  // our daemon's config, pid, control
        QString xl2tpd = QStringLiteral("xl2tpd");       // program, found on PATH
        QString systemctl = QStringLiteral("systemctl");
    };
    // The name under which startService() starts our own L2TP daemon instance.
    static constexpr char kOwnL2tpService[] = "zenrun-xl2tpd";

    ProcServices();
    explicit ProcServices(Options options);

    DialUpHost dialUpHost() const override;
    std::vector<Process> processes() override;
    QString commandLine(qint64 pid) override;
    void terminate(qint64 pid) override;
    void startService(const QString& name) override;

    QString configPath() const;

private:
    bool ownInstanceRunning();
    Options o_;
};

}  // namespace zenrun
