#pragma once

#include <QString>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace zenrun::server {

// The back-end's lasting state in SQLite: accounts, registrations, password changes,
// online sessions and issued dial accounts. Tables are created when missing. Every call is
// serialised; the HTTP front runs handlers on several threads.
class Store {
  public:
    explicit Store(const std::string& path);  // throws std::runtime_error
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    struct Account {
        QString user, password, expires;
    };
    struct Registration {
        QString user, password, truename, mobile, email, qq, address, peer;
    };
    struct Report {
        QString user, uniqueid, serverip, userpeerip, clientip;
        QString xmitdata, recvdata, onlinetime;
    };
    struct Grant {
        QString user, serverip, dialuser, dialpass;
    };

    // Adds an account from the data file unless one of that name exists.
    void seed(const Account& account);
    std::optional<Account> account(const QString& user);
    // false when the name is taken.
    bool registeraccount(const Registration& r, const QString& expires);
    // false when the user is unknown or the old password is wrong.
    bool changepassword(const QString& user, const QString& oldpass, const QString& newpass,
                        const QString& peer);
    // Records a status report. True when the session is beyond the account's limit of live
    // sessions (the oldest `limit` sessions stay); such a session is dropped.
    bool report(const Report& r, std::int64_t now, int ttl, int limit);
    void grant(const Grant& g);
    std::vector<Grant> grants();

  private:
    void exec(const char* sql);
    sqlite3* db_ = nullptr;
    std::mutex mutex_;
};

}  // namespace zenrun::server
