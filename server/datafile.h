#pragma once

#include <QString>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zenrun::server {

// Language of a reply: the plain path answers in simplified Chinese, "_en" in English,
// "_tw" in traditional Chinese.
enum class Lang { Zh, En, Tw };

// A text in the three languages; a missing English or traditional form falls back to the
// simplified one.
struct Texts {
    QString zh, en, tw;
    QString pick(Lang lang) const;
};

// What the IP check answers for a line.
enum class IpCheckMode {
    Accept,   // the accept token: dial with the account itself
    Issue,    // a dial user and a fresh dial password (separator A)
    Account,  // a dial user; the account's own password (separator B)
    Refuse,   // "error": the client finds no user name in it
    Empty,    // an empty reply
};

struct Line {
    Texts name;
    QString address;     // clear text; served in stored form
    QString onlinerate;  // shown as is
    int l2tp = 0;        // 1 supported
    QString type;        // "1", "3".."7", or another code (IP check)
    IpCheckMode ipcheck = IpCheckMode::Accept;
};

struct Area {
    Texts name;
    std::vector<Line> lines;
};

struct RouteMode {
    Texts name;
    std::vector<std::pair<QString, QString>> networks;  // destination, mask
};

struct SeedAccount {
    QString user, password, expires;
};

struct Data {
    // The probe line: peer address (from the request), then these four.
    QString version, routehostip, update, routeenable;
    Texts accountinfo;  // "{expires}" is replaced by the account's expiry
    int computerlimit = 1;
    std::map<QString, int> computerlimits;  // per account
    int sessionttl = 660;                   // seconds a status report keeps a session live
    bool registration = true;
    int trialdays = 7;  // validity of an account registered through the back-end
    QString dialprefix;
    std::vector<SeedAccount> accounts;
    std::vector<Area> areas;
    std::vector<RouteMode> routemodes;
    std::map<std::string, QString> pages;  // path -> HTML

    int limitfor(const QString& user) const;
    const Line* linebyaddress(const QString& address) const;
};

// Reads the JSON data file; throws std::runtime_error with a readable reason.
Data loaddata(const std::string& path);
Data parsedata(const std::string& json);

}  // namespace zenrun::server
