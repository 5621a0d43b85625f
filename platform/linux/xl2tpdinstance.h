#pragma once

#include <QString>
#include <functional>
#include <memory>

class QProcess;

namespace zenrun {

// Our own xl2tpd: its configuration, secrets, pid and control files live in one run folder, so
// it never meets a system xl2tpd's files. It dials one L2TP tunnel as soon as it starts
// (autodial) and starts pppd with the options file of that tunnel.
class Xl2tpdInstance {
public:
    explicit Xl2tpdInstance(QString runDir);
    ~Xl2tpdInstance();
    Xl2tpdInstance(const Xl2tpdInstance&) = delete;
    Xl2tpdInstance& operator=(const Xl2tpdInstance&) = delete;

    // (Re)starts the instance with the tunnel `lac` to `lns`. Empty on success, else why not.
    QString dial(const QString& program, const QString& lac, const QString& lns,
                 const QString& optionsFile);
    bool running() const;
    // Ends the instance (SIGTERM, then SIGKILL after `waitMs`) and removes its files.
    void stop(int waitMs = 3000);
    // An instance left by a process that was killed: ended, its files removed.
    void stopLeftover();

    // Runs when the instance ends by itself.
    std::function<void()> onExit;

    QString configPath() const;
    QString pidPath() const;

private:
    void removeFiles();

    QString runDir_;
    std::unique_ptr<QProcess> proc_;
    bool stopping_ = false;
};

}  // namespace zenrun
