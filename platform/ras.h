#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace zenrun {

// Dial states as the connection stores them (one 16-bit value). Values below 0x2000 are dial
// steps in progress; 600..999 are dial errors.
inline constexpr std::uint16_t kRasConnected = 0x2000;
inline constexpr std::uint16_t kRasDisconnected = 0x2001;
inline constexpr std::uint16_t kRasQueryFailed = 601;  // a status query that found no connection

// Dial error codes this client's dial-up service produces (the meaning each code has on the
// system whose numbering the client keeps).
namespace rascode {
inline constexpr int kInvalidHandle = 601;
inline constexpr int kCannotFindPhonebookEntry = 623;
inline constexpr int kCannotLoadPhonebook = 621;
inline constexpr int kCannotWritePhonebook = 624;
inline constexpr int kCannotLoadString = 626;  // a value the entry cannot hold
inline constexpr int kPortNotAvailable = 633;   // kernel PPP support or a program is missing
inline constexpr int kRemoteDisconnection = 628;
inline constexpr int kHardwareFailure = 630;
inline constexpr int kUserDisconnection = 631;
inline constexpr int kIdleDisconnected = 629;  // the peer stopped answering
inline constexpr int kServerNotResponding = 650;
inline constexpr int kAuthenticationFailure = 691;
inline constexpr int kNoResponses = 800;  // the tunnel could not be set up
inline constexpr int kInvalidName = 123;   // a name the phonebook refuses (not a dial error)
}  // namespace rascode

enum class VpnStrategy { PptpFirst, L2tpOnly };
enum class EntryEncryption { Optional, RequireMax };

// Entry options (the subset of the dial-up entry's switches the client sets or clears).
enum RasEntryOption : std::uint32_t {
    kRemoteDefaultGateway = 1u << 0,
    kIpHeaderCompression = 1u << 1,
    kSwCompression = 1u << 2,
    kCustom = 1u << 3,
    kPreviewPhoneNumber = 1u << 4,
    kPreviewUserPw = 1u << 5,
    kRequireDataEncryption = 1u << 6,
    kRequireEncryptedPw = 1u << 7,
    kRequireMsChap2 = 1u << 8,
    kRequirePap = 1u << 9,
    kRequireChap = 1u << 10,
    kRequireMsChap = 1u << 11,
    kPromoteAlternates = 1u << 12,
};

// The properties of one phonebook entry, as the entry editor holds them between
// pppDefault() and putAllEntryProps().
struct RasEntry {
    bool vpn = false;           // entry type VPN (otherwise a plain PPP entry)
    QString deviceType;         // "vpn"
    QString deviceName;         // "WAN Miniport (PPTP)" and its Chinese forms
    VpnStrategy strategy = VpnStrategy::PptpFirst;
    QString phoneNumber;        // the server: a dotted quad or a host name
    std::uint32_t options = 0;  // RasEntryOption bits
    EntryEncryption encryption = EntryEncryption::Optional;
    bool pppFraming = true;
    bool tcpIpOnly = true;

    bool has(RasEntryOption o) const { return (options & o) != 0; }
    void set(RasEntryOption o, bool on = true) {
        options = on ? (options | o) : (options & ~static_cast<std::uint32_t>(o));
    }
    // The device the entry dials through: L2TP unless the strategy starts with PPTP.
    bool l2tp() const { return strategy == VpnStrategy::L2tpOnly; }
};

// The address the link was given (the IP projection of a connection).
struct RasProjection {
    QString clientAddress;  // ours, dotted quad
    QString serverAddress;  // the peer's
    QString interfaceName;  // ppp0, ...
};

// The system's dial-up networking, in three parts as the client uses it: the entry editor,
// the connection and the traffic counters. All calls are made on the user-interface thread.
//
// The life of one attempt, and which call ends which step (both implementations keep this):
//  1. pppDefault(), then the caller fills entry(); putAllEntryProps(name) writes the entry
//     into the all-users phonebook; setDialCredentials() + putDialProps(name) store its user
//     name and password with it. Each returns 0 or a code.
//  2. setEntryName(name); getDialParams() reads the stored credentials back (0 or a code);
//     connectEx(handle) starts the dial and returns at once: 0 with `handle` set (non-zero),
//     or a code with statusStr() worded. Nothing is written or started when it fails.
//  3. From then on the dial advances by itself: connectState() moves through steps below
//     0x2000 to kRasConnected, or to a dial error 602..999 when the dial fails (the handle then
//     names a dead connection). Notifications are stored as they arrive; nothing else is needed
//     to see them. currentStatusEx(handle) stores the queried state of that connection
//     (kRasQueryFailed when the handle is 0, unknown or its link has ended).
//  4. The link ends by disconnectEx(handle) (hang-up, then a status poll every pollMs until it
//     reports disconnected or fails, or waitMs has passed; events keep being handled while it
//     waits), or by itself (a drop): then onLinkEnded runs once, on the user-interface thread,
//     and later queries of that handle store kRasQueryFailed.
//  5. deletePhonebook() removes the entry named by entryName() at any time; the link, if up,
//     stays up. On success entryName() becomes empty.
// Counters: watch(slot, handle) picks the connection, refreshCounters() reads the counts into
// bytesXmited()/bytesRcved() (64-bit, since the link came up, minus what resetPerfStats() took
// away).
class Ras {
public:
    virtual ~Ras() = default;

    // --- Entry editor
    // Resets entry() to an empty PPP entry: TCP/IP as the only protocol, PPP framing, IP header
    // compression, remote default gateway; no addresses or scripts.
    void pppDefault() {
        entry_ = RasEntry{};
        entry_.set(kRemoteDefaultGateway);
        entry_.set(kIpHeaderCompression);
    }
    RasEntry& entry() { return entry_; }
    const RasEntry& entry() const { return entry_; }
    // Writes (creates or replaces) the entry `name` from entry(). 0 or a code.
    virtual int putAllEntryProps(const QString& name) = 0;
    // The user name and password the next putDialProps() stores.
    void setDialCredentials(const QString& user, const QString& password) {
        dialUser_ = user;
        dialPassword_ = password;
    }
    // Stores the credentials with the entry `name`. 0 or a code.
    virtual int putDialProps(const QString& name) = 0;
    // 0 when no entry `name` exists and the name is valid; non-zero otherwise.
    virtual int validateName(const QString& name) = 0;
    // The stored entry's server as written (empty when there is no such entry).
    virtual QString phoneNumberOf(const QString& name) = 0;

    // --- Connection
    void setEntryName(const QString& name) { entryName_ = name; }
    QString entryName() const { return entryName_; }
    // Reads the stored credentials of entryName() for the next dial. 0 or a code.
    virtual int getDialParams() = 0;
    // The credentials getDialParams() read.
    QString dialUser() const { return paramUser_; }
    QString dialPassword() const { return paramPassword_; }
    // Starts the dial of entryName() with the parameters read; see the class comment.
    virtual int connectEx(int& handle) = 0;
    // The stored dial state (see above). Safe to read at any time.
    virtual std::uint16_t connectState() const = 0;
    virtual void currentStatusEx(int handle) = 0;
    virtual void disconnectEx(int handle, int waitMs = 3000, int pollMs = 50) = 0;
    // Deletes the entry named by entryName(). 0 or a code.
    virtual int deletePhonebook() = 0;
    struct Active {
        QString entryName;
        int handle = 0;
    };
    // The first active dial-up connection (empty name and 0 when none).
    virtual Active getConnection() = 0;
    // The text of the last error.
    QString statusStr() const { return statusStr_; }
    // The link's addresses; empty while it is not up.
    virtual std::optional<RasProjection> ipProjection(int handle) = 0;

    // Runs once, on the user-interface thread, when a link that was up ends by itself.
    std::function<void(int handle)> onLinkEnded;

    // --- Traffic counters
    virtual void watch(int slot, int handle) = 0;
    virtual void refreshCounters() = 0;
    virtual void resetPerfStats() = 0;
    virtual std::uint64_t bytesXmited() const = 0;
    virtual std::uint64_t bytesRcved() const = 0;

protected:
    RasEntry entry_;
    QString dialUser_, dialPassword_;    // for putDialProps
    QString paramUser_, paramPassword_;  // read by getDialParams
    QString entryName_;
    QString statusStr_;
};

}  // namespace zenrun
