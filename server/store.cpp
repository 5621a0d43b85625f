#include "server/store.h"

#include <sqlite3.h>

#include <ctime>
#include <stdexcept>

namespace zenrun::server {

namespace {

const char* const kSchema = R"(
CREATE TABLE IF NOT EXISTS accounts (
  username TEXT PRIMARY KEY, password TEXT NOT NULL, expires TEXT NOT NULL DEFAULT '',
  created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS registrations (
  id INTEGER PRIMARY KEY, username TEXT NOT NULL, truename TEXT, mobile TEXT, email TEXT,
  qq TEXT, address TEXT, peer TEXT, at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS password_changes (
  id INTEGER PRIMARY KEY, username TEXT NOT NULL, peer TEXT, at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS online_sessions (
  username TEXT NOT NULL, uniqueid TEXT NOT NULL, serverip TEXT, userpeerip TEXT,
  clientip TEXT, xmitdata TEXT, recvdata TEXT, onlinetime TEXT,
  first_seen INTEGER NOT NULL, last_seen INTEGER NOT NULL,
  PRIMARY KEY (username, uniqueid));
CREATE TABLE IF NOT EXISTS dial_grants (
  id INTEGER PRIMARY KEY, username TEXT NOT NULL, serverip TEXT, dialuser TEXT NOT NULL,
  dialpass TEXT NOT NULL, at INTEGER NOT NULL);
)";

// One prepared statement, finalised on scope exit.
class Stmt {
  public:
    Stmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Stmt() { sqlite3_finalize(s_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    Stmt& bind(int i, const QString& v) {
        const QByteArray u = v.toUtf8();
        sqlite3_bind_text(s_, i, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& bind(int i, std::int64_t v) {
        sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(s_)));
    }
    [[nodiscard]] QString text(int col) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s_, col));
        return p ? QString::fromUtf8(p) : QString();
    }
    [[nodiscard]] int changes() const { return sqlite3_changes(sqlite3_db_handle(s_)); }

  private:
    sqlite3_stmt* s_ = nullptr;
};

std::int64_t now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace

Store::Store(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw std::runtime_error("cannot open database " + path + ": " + why);
    }
    sqlite3_busy_timeout(db_, 2000);
    try {
        exec(kSchema);
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
}

Store::~Store() {
    sqlite3_close(db_);
}

void Store::exec(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string why = err ? err : "unknown error";
        sqlite3_free(err);
        throw std::runtime_error("database: " + why);
    }
}

void Store::seed(const Account& a) {
    std::lock_guard lock(mutex_);
    Stmt s(db_,
           "INSERT OR IGNORE INTO accounts (username, password, expires, created) "
           "VALUES (?, ?, ?, ?)");
    s.bind(1, a.user).bind(2, a.password).bind(3, a.expires).bind(4, now()).step();
}

std::optional<Store::Account> Store::account(const QString& user) {
    std::lock_guard lock(mutex_);
    Stmt s(db_, "SELECT username, password, expires FROM accounts WHERE username = ?");
    s.bind(1, user);
    if (!s.step()) return std::nullopt;
    return Account{s.text(0), s.text(1), s.text(2)};
}

bool Store::registeraccount(const Registration& r, const QString& expires) {
    std::lock_guard lock(mutex_);
    exec("BEGIN IMMEDIATE");
    try {
        Stmt ins(db_,
                 "INSERT OR IGNORE INTO accounts (username, password, expires, created) "
                 "VALUES (?, ?, ?, ?)");
        ins.bind(1, r.user).bind(2, r.password).bind(3, expires).bind(4, now()).step();
        const bool created = ins.changes() == 1;
        if (created) {
            Stmt log(db_,
                     "INSERT INTO registrations (username, truename, mobile, email, qq, "
                     "address, peer, at) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
            log.bind(1, r.user).bind(2, r.truename).bind(3, r.mobile).bind(4, r.email);
            log.bind(5, r.qq).bind(6, r.address).bind(7, r.peer).bind(8, now()).step();
        }
        exec("COMMIT");
        return created;
    } catch (...) {
        exec("ROLLBACK");
        throw;
    }
}

bool Store::changepassword(const QString& user, const QString& oldpass, const QString& newpass,
                           const QString& peer) {
    std::lock_guard lock(mutex_);
    exec("BEGIN IMMEDIATE");
    try {
        Stmt upd(db_, "UPDATE accounts SET password = ? WHERE username = ? AND password = ?");
        upd.bind(1, newpass).bind(2, user).bind(3, oldpass).step();
        const bool changed = upd.changes() == 1;
        if (changed) {
            Stmt log(db_, "INSERT INTO password_changes (username, peer, at) VALUES (?, ?, ?)");
            log.bind(1, user).bind(2, peer).bind(3, now()).step();
        }
        exec("COMMIT");
        return changed;
    } catch (...) {
        exec("ROLLBACK");
        throw;
    }
}

bool Store::report(const Report& r, std::int64_t at, int ttl, int limit) {
    std::lock_guard lock(mutex_);
    Stmt up(db_,
            "INSERT INTO online_sessions (username, uniqueid, serverip, userpeerip, clientip, "
            "xmitdata, recvdata, onlinetime, first_seen, last_seen) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?9) "
            "ON CONFLICT (username, uniqueid) DO UPDATE SET serverip = ?3, userpeerip = ?4, "
            "clientip = ?5, xmitdata = ?6, recvdata = ?7, onlinetime = ?8, last_seen = ?9");
    up.bind(1, r.user).bind(2, r.uniqueid).bind(3, r.serverip).bind(4, r.userpeerip);
    up.bind(5, r.clientip).bind(6, r.xmitdata).bind(7, r.recvdata).bind(8, r.onlinetime);
    up.bind(9, at).step();

    Stmt live(db_,
              "SELECT uniqueid FROM online_sessions WHERE username = ? AND last_seen >= ? "
              "ORDER BY first_seen, rowid");
    live.bind(1, r.user).bind(2, at - ttl);
    int rank = 0;
    while (live.step()) {
        if (live.text(0) == r.uniqueid) break;
        ++rank;
    }
    if (rank < limit) return false;
    Stmt drop(db_, "DELETE FROM online_sessions WHERE username = ? AND uniqueid = ?");
    drop.bind(1, r.user).bind(2, r.uniqueid).step();
    return true;
}

void Store::grant(const Grant& g) {
    std::lock_guard lock(mutex_);
    Stmt s(db_,
           "INSERT INTO dial_grants (username, serverip, dialuser, dialpass, at) "
           "VALUES (?, ?, ?, ?, ?)");
    s.bind(1, g.user).bind(2, g.serverip).bind(3, g.dialuser).bind(4, g.dialpass);
    s.bind(5, now()).step();
}

std::vector<Store::Grant> Store::grants() {
    std::lock_guard lock(mutex_);
    Stmt s(db_, "SELECT username, serverip, dialuser, dialpass FROM dial_grants ORDER BY id");
    std::vector<Grant> out;
    while (s.step()) out.push_back({s.text(0), s.text(1), s.text(2), s.text(3)});
    return out;
}

}  // namespace zenrun::server
