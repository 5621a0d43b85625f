#pragma once

#include <QString>

#include "core/strings.h"
#include "platform/registry.h"

namespace zenrun {

class Http;
class Registry;

inline constexpr int kGetReadTimeoutMs = 30000;
inline constexpr char kUserAgent[] = "tkoxgnk_vvuoa";

// The helper with HTTP and registry access.
class strings4 : public strings {
public:
    strings4(Http& http, Registry& registry) : http_(http), registry_(registry) {}

    // GET with the client's fixed User-Agent and read time-out; every failure gives "".
    QString gethtml(const QString& url, bool store, int readTimeoutMs = kGetReadTimeoutMs);

    void setrootkey(Hive hive) { root_ = hive; }
    void setvaluename(const QString& name) { valueName_ = name; }
    // Opens (or with `create`, creates) the key under the root; false when missing.
    bool openkey(const QString& path, bool create);
    void writestring(const QString& text);
    void writebool(bool value);
    QString readstring(bool store);
    bool readbool();

private:
    const QString& openKeyPath() const;

    Http& http_;
    Registry& registry_;
    Hive root_ = Hive::CurrentUser;
    QString basePath_;
    QString openPath_;
    bool open_ = false;
    QString valueName_;
};

// GET with the client's fixed User-Agent and read time-out; every failure gives "".
QString gethtml(Http& http, const QString& url, int readTimeoutMs = kGetReadTimeoutMs);

}  // namespace zenrun
