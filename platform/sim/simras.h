#pragma once

#include <QHash>
#include <QStringList>
#include <atomic>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/ras.h"

namespace zenrun {

// A dial-up service in memory. Dials follow scripts of timed states on the clock given (the
// virtual clock in tests, the real one in the demo); the driving API below scripts dials,
// failures, drops and traffic, and tells what the client did.
class SimRas : public Ras {
public:
    // One step of a dial: `afterMs` after the previous step, the dial notification `state`.
    struct Step {
        int afterMs = 0;
        std::uint16_t state = 0;
    };
    using Script = std::vector<Step>;
    // Opening, authenticating, then connected two seconds after the start.
    static Script connectsAfter(int ms = 2000);
    static Script failsWith(std::uint16_t code, int afterMs = 1500);
    static Script staysDialling();

    struct Stored {
        RasEntry entry;
        QString user;
        QString password;
        bool credentials = false;
    };
    struct Connection {
        QString entryName;
        QString server;
        QString user;
        QString password;
        std::uint16_t state = 0;
        bool up = false;
        bool ended = false;
        std::uint64_t sent = 0;
        std::uint64_t received = 0;
        RasProjection projection;
    };

    explicit SimRas(Clock& clock);
    ~SimRas() override;

    // Ras
    int putAllEntryProps(const QString& name) override;
    int putDialProps(const QString& name) override;
    int validateName(const QString& name) override;
    QString phoneNumberOf(const QString& name) override;
    int getDialParams() override;
    int connectEx(int& handle) override;
    std::uint16_t connectState() const override { return state_.load(); }
    void currentStatusEx(int handle) override;
    void disconnectEx(int handle, int waitMs = 3000, int pollMs = 50) override;
    int deletePhonebook() override;
    Active getConnection() override;
    std::optional<RasProjection> ipProjection(int handle) override;
    void watch(int slot, int handle) override;
    void refreshCounters() override;
    void resetPerfStats() override;
    std::uint64_t bytesXmited() const override { return shownSent_; }
    std::uint64_t bytesRcved() const override { return shownReceived_; }

    // --- Driving API
    // The script of every later dial (default: connectsAfter(2000)), or of dials to one server.
    void setScript(Script script) { defaultScript_ = std::move(script); }
    void setScriptFor(const QString& server, Script script) {
        perServer_[server] = std::move(script);
    }
    // The next call of that operation fails with `code` (and `text` as the status text).
    void failNextPut(int code) { failPut_ = code; }
    void failNextDialProps(int code) { failDialProps_ = code; }
    void failNextGetDialParams(int code) { failGetParams_ = code; }
    void failNextConnect(int code, const QString& text) {
        failConnect_ = code;
        failConnectText_ = text;
    }
    void failNextDelete(int code) { failDelete_ = code; }
    // Moves a dial to `state` now, as a notification would.
    void notify(int handle, std::uint16_t state);
    // The link ends by itself: later queries fail, onLinkEnded runs.
    void dropLink(int handle);
    // A link that does not end at hang-up (the poll then runs out its time).
    void setHangUpIgnored(bool ignored) { hangUpIgnored_ = ignored; }
    // Traffic on a connection (added to its counts).
    void addTraffic(int handle, std::uint64_t sent, std::uint64_t received);
    void setTraffic(int handle, std::uint64_t sent, std::uint64_t received);
    // Grows the counters of every link that is up, each `everyMs` (the demo's traffic).
    void growTraffic(int everyMs);

    const std::map<QString, Stored>& phonebook() const { return phonebook_; }
    const Connection* connection(int handle) const;
    int lastHandle() const { return nextHandle_ - 1; }
    // Every operation called, in order ("putAllEntryProps 1211...", "connectEx", "hangUp 3"...).
    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // The entry as written by the last putAllEntryProps.
    const RasEntry& lastWritten() const { return lastWritten_; }
    int watchedSlot() const { return watchedSlot_; }
    int watchedHandle() const { return watchedHandle_; }

private:
    void schedule(int handle, std::size_t index);
    void applyStep(int handle, std::size_t index);
    Script scriptFor(const QString& server) const;

    Clock& clock_;
    std::atomic<std::uint16_t> state_{0};
    std::map<QString, Stored> phonebook_;
    std::map<int, Connection> connections_;
    std::map<int, std::unique_ptr<Timer>> stepTimers_;
    std::map<int, Script> scripts_;
    std::map<int, std::size_t> nextStep_;
    int nextHandle_ = 1;
    int dialHandle_ = 0;  // the dial whose notifications reach connectState()
    Script defaultScript_ = connectsAfter();
    QHash<QString, Script> perServer_;
    int failPut_ = 0, failDialProps_ = 0, failGetParams_ = 0, failConnect_ = 0, failDelete_ = 0;
    QString failConnectText_;
    bool hangUpIgnored_ = false;
    QStringList calls_;
    RasEntry lastWritten_;
    int watchedSlot_ = 0;
    int watchedHandle_ = 0;
    int baseHandle_ = 0;  // the link resetPerfStats zeroed
    std::uint64_t baseSent_ = 0, baseReceived_ = 0;
    std::uint64_t shownSent_ = 0, shownReceived_ = 0;
    std::unique_ptr<Timer> trafficTimer_;
};

// The demo's dial-up: every demo line connects in about two seconds and its counters grow;
// a few lines show the other paths (see README).
std::unique_ptr<SimRas> makeDemoRas(Clock& clock);

}  // namespace zenrun
