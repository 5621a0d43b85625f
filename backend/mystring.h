#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>
#include <array>

#include "platform/registry.h"

namespace zenrun {

class Http;
class Registry;

inline constexpr int kGetReadTimeoutMs = 30000;
inline constexpr char kUserAgent[] = "tkoxgnk_vvuoa";

// The client's little text helper: a working text, cut at separators, replaced in, or
// filled from an HTTP GET. Used for one task and dropped.
class strings {
  public:
    strings() = default;
    explicit strings(QString text) : text_(std::move(text)) {}
    explicit strings(qint64 number) : text_(QString::number(number)) {}

    // Cuts the working text at every separator. Empty pieces before a separator are dropped;
    // the piece after the last separator is kept even when empty; the first N pieces are
    // returned, the rest of the N slots empty.
    std::array<QString, 5> split5(const QString& separator) const;
    std::array<QString, 10> split10(const QString& separator) const;
    QString gettext() const { return text_; }
    void settext(const QString& text) { text_ = text; }
    // Replaces the first occurrence, or every one with ReplaceAll; IgnoreCase matches without
    // case. An empty old pattern replaces nothing. With `store` the result becomes the working
    // text too.
    enum ReplaceFlag { ReplaceAll = 0x1, IgnoreCase = 0x2 };
    Q_DECLARE_FLAGS(ReplaceFlags, ReplaceFlag)
    QString replace(const QString& oldPattern, const QString& newPattern, bool store,
                    ReplaceFlags flags = ReplaceAll);
    // Every occurrence, matched with the given case sensitivity.
    QString replace(const QString& oldPattern, const QString& newPattern, bool store,
                    Qt::CaseSensitivity cs);

  protected:
    QString text_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(strings::ReplaceFlags)

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

// The splitting rule on its own, for any N.
QStringList splitpieces(const QString& text, const QString& separator, int n);

}  // namespace zenrun
