#include "core/strings.h"

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

}  // namespace zenrun
