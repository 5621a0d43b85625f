#include "backend/mystring.h"

#include "platform/http.h"

namespace zenrun {

QString gethtml(Http& http, const QString& url, int readTimeoutMs) {
    try {
        const HttpReply r = http.get(url, readTimeoutMs, QString::fromLatin1(kUserAgent));
        if (r.ok) return r.body;
    } catch (...) {
        // An empty text is the one failure signal callers know.
    }
    return {};
}

QString strings4::gethtml(const QString& url, bool store, int readTimeoutMs) {
    QString result = zenrun::gethtml(http_, url, readTimeoutMs);
    if (store) text_ = result;
    return result;
}

bool strings4::openkey(const QString& path, bool create) {
    QString p = path;
    if (p.startsWith(QLatin1Char('\\'))) p.remove(0, 1);
    const QString full = p.isEmpty() ? basePath_ : basePath_ + QLatin1Char('\\') + p;
    open_ = false;
    openPath_ = full;
    if (registry_.keyExists(root_, full)) {
        open_ = true;
    } else if (create) {
        registry_.createKey(root_, full);
        open_ = true;
    }
    return open_;
}

const QString& strings4::openKeyPath() const {
    if (!open_) throw RegistryError("no key is open");
    return openPath_;
}

void strings4::writestring(const QString& text) {
    registry_.writeString(root_, openKeyPath(), valueName_, text);
}

void strings4::writebool(bool value) {
    registry_.writeInteger(root_, openKeyPath(), valueName_, value ? 1 : 0);
}

QString strings4::readstring(bool store) {
    QString result;
    if (open_) result = registry_.readString(root_, openPath_, valueName_).value_or(QString());
    if (store) text_ = result;
    return result;
}

bool strings4::readbool() {
    if (!open_) return false;
    return registry_.readInteger(root_, openPath_, valueName_).value_or(0) != 0;
}

}  // namespace zenrun
