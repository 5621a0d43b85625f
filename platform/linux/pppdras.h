#pragma once

#include <sys/types.h>

#include <QString>
#include <map>
#include <memory>

#include "platform/linux/pppdoptions.h"
#include "platform/ras.h"

class QProcess;
class QTimer;

namespace zenrun {

class Clock;
class NetlinkLinks;
class Xl2tpdInstance;

// Where the dial-up service finds its programs and keeps its files. Tests point every one of
// them at their own folders and stand-in programs.
struct PppdRasPaths {
    QString pppd = QStringLiteral("pppd");  // a bare name is looked up in the sbin folders and PATH
    QString pptp = QStringLiteral("pptp");
    QString xl2tpd = QStringLiteral("xl2tpd");
    QString peersDir = QStringLiteral("/etc/ppp/peers");  // the all-users phonebook
    QString runDir = QStringLiteral("/run/zenrun");       // our xl2tpd instance
    QString pidDir = QStringLiteral("/run");              // where pppd writes ppp-LINKNAME.pid
    QString devPpp = QStringLiteral("/dev/ppp");          // the kernel's PPP device
};

// Dial-up through pppd: PPTP with `pty "pptp SERVER --nolaunchpppd"`, L2TP through our own
// xl2tpd instance. A phonebook entry is the peers file "zenrun-NAME" (mode 0600: it holds the
// password); its link is named "zenrun-NAME" too, so pppd's pid file names the interface.
//
// The dial advances on kernel notices (netlink: the interface appears, gets its addresses and
// comes up) and on pppd's exit; a one-second look at the links covers any notice that arrives
// before pppd has written its pid file. States stored while dialling: 0 (pppd started),
// 5 (the interface exists, authentication and IPCP under way), kRasConnected; or the code of
// pppd's exit status (pppdexit.h). For an L2TP link pppd is xl2tpd's child, so its exit status
// is not ours to read: an L2TP dial that ends before the link is up fails with 800.
class PppdRas : public Ras {
public:
    explicit PppdRas(Clock& clock, PppdRasPaths paths = {});
    ~PppdRas() override;
    PppdRas(const PppdRas&) = delete;
    PppdRas& operator=(const PppdRas&) = delete;

    int putAllEntryProps(const QString& name) override;
    int putDialProps(const QString& name) override;
    int validateName(const QString& name) override;
    QString phoneNumberOf(const QString& name) override;

    int getDialParams() override;
    int connectEx(int& handle) override;
    std::uint16_t connectState() const override { return state_; }
    void currentStatusEx(int handle) override;
    void disconnectEx(int handle, int waitMs = 3000, int pollMs = 50) override;
    int deletePhonebook() override;
    Active getConnection() override;
    std::optional<RasProjection> ipProjection(int handle) override;

    void watch(int slot, int handle) override;
    void refreshCounters() override;
    void resetPerfStats() override;
    std::uint64_t bytesXmited() const override { return xmited_; }
    std::uint64_t bytesRcved() const override { return rcved_; }

    // Hangs up every pppd of ours and deletes every peers file of ours, including those a
    // killed process of this program left behind (they hold passwords). Run at start and exit.
    void cleanupLeftovers();

    // Empty when a dial of this kind can start here; otherwise what is missing, in words.
    QString preflight(bool l2tp) const;

    QString peersPath(const QString& name) const;

private:
    struct Link;
    Link* find(int handle);
    void evaluate();
    void evaluate(Link& link);
    void ended(Link& link, int exitStatus);
    void finishL2tpIfIdle();
    std::uint16_t queried(int handle);
    int refuse(int code, const QString& why);
    QString resolve(const QString& program) const;
    int writeEntry(const QString& name, const pppd::StoredEntry& stored);
    std::optional<pppd::StoredEntry> readEntry(const QString& name) const;
    bool isOurs(const QStringList& args) const;

    Clock& clock_;
    PppdRasPaths paths_;
    std::unique_ptr<NetlinkLinks> links_;
    std::unique_ptr<Xl2tpdInstance> xl2tpd_;
    std::unique_ptr<QTimer> lookAgain_;
    std::map<int, std::unique_ptr<Link>> dials_;
    int nextHandle_ = 1;
    int latest_ = 0;  // the dial whose notices set the state
    int watched_ = 0;
    std::uint16_t state_ = kRasDisconnected;
    std::uint64_t xmited_ = 0, rcved_ = 0;
};

}  // namespace zenrun
