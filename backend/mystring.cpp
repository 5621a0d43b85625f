#include "backend/mystring.h"

#include "platform/http.h"

namespace zenrun {

QStringList splitpieces(const QString& text, const QString& separator, int n) {
    QStringList pieces;
    if (separator.isEmpty()) {
        pieces.append(text);
    } else {
        qsizetype from = 0;
        for (;;) {
            const qsizetype at = text.indexOf(separator, from);
            if (at < 0) break;
            const QString piece = text.mid(from, at - from);
            if (!piece.isEmpty()) pieces.append(piece);
            from = at + separator.size();
        }
        pieces.append(text.mid(from));
    }
    while (pieces.size() > n) pieces.removeLast();
    while (pieces.size() < n) pieces.append(QString());
    return pieces;
}

std::array<QString, 5> strings::split5(const QString& separator) const {
    const QStringList p = splitpieces(text_, separator, 5);
    return {p[0], p[1], p[2], p[3], p[4]};
}

std::array<QString, 10> strings::split10(const QString& separator) const {
    const QStringList p = splitpieces(text_, separator, 10);
    std::array<QString, 10> out;
    for (int i = 0; i < 10; ++i) out[static_cast<std::size_t>(i)] = p[i];
    return out;
}

QString strings::replace(const QString& oldPattern, const QString& newPattern, bool store,
                         ReplaceFlags flags) {
    QString result = text_;
    if (!oldPattern.isEmpty()) {
        const Qt::CaseSensitivity cs =
            flags.testFlag(IgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
        if (flags.testFlag(ReplaceAll)) {
            result.replace(oldPattern, newPattern, cs);
        } else if (const qsizetype at = result.indexOf(oldPattern, 0, cs); at >= 0) {
            result.replace(at, oldPattern.size(), newPattern);
        }
    }
    if (store) text_ = result;
    return result;
}

QString strings::replace(const QString& oldPattern, const QString& newPattern, bool store,
                         Qt::CaseSensitivity cs) {
    return replace(oldPattern, newPattern, store,
                   cs == Qt::CaseInsensitive ? ReplaceAll | IgnoreCase : ReplaceFlags(ReplaceAll));
}

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
