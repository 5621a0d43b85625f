#include "server/codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "core/textutil.h"

namespace zenrun::server {

QString base64encode(const QString& bytes) {
    return QString::fromLatin1(bytes.toLatin1().toBase64(QByteArray::OmitTrailingEquals));
}

QString unblockswap(const QString& text, int n) {
    const qsizetype len = text.size();
    if (len <= n || len >= 2 * static_cast<qsizetype>(n)) return blockswap(text, n);
    // The swap turned A (n characters) + B (m < n characters) into B + A.
    const qsizetype m = len - n;
    return text.mid(m) + text.left(m);
}

QString encodelineaddr(const QString& address) {
    QString s = unblockswap(base64encode(address), 4);
    s = unblockswap(base64encode(s), 7);
    return unblockswap(base64encode(s), 6);
}

QString encodedialpass(const QString& password, const QString& filler) {
    const QString eight = filler.leftJustified(8, QLatin1Char('x'), true);
    QString s = unblockswap(base64encode(password), 4);
    s = eight + unblockswap(base64encode(s), 6);
    s = unblockswap(base64encode(s), 5);
    s = unblockswap(base64encode(s), 6);
    for (int i = 0; i < 4; ++i) s = base64encode(s);
    return s;
}

QString encodedialuser(const QString& user) {
    return base64encode(base64encode(QString::fromLatin1(togbk(user))));
}

QByteArray togbk(const QString& text) {
    QStringEncoder enc("GBK");
    return enc.isValid() ? QByteArray(enc.encode(text)) : text.toUtf8();
}

QString fromgbk(const QByteArray& bytes) {
    QStringDecoder dec("GBK");
    return dec.isValid() ? QString(dec.decode(bytes)) : QString::fromUtf8(bytes);
}

}  // namespace zenrun::server
