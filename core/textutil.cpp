#include "core/textutil.h"

#include <QCryptographicHash>

#include "core/codesalts.h"

namespace zenrun {

namespace {
int b64value(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 'A' && u <= 'Z') return u - 'A';
    if (u >= 'a' && u <= 'z') return u - 'a' + 26;
    if (u >= '0' && u <= '9') return u - '0' + 52;
    if (u == '+') return 62;
    if (u == '/') return 63;
    return -1;
}
}  // namespace

QString base64decode(const QString& text) {
    qsizetype len = text.size();
    if (len > 0 && text[len - 1] == QLatin1Char('=')) --len;
    if (len > 0 && text[len - 1] == QLatin1Char('=')) --len;
    QString out;
    out.reserve(len * 3 / 4 + 2);
    auto put = [&out](unsigned v) { out += QChar(static_cast<char16_t>(v & 0xFFU)); };
    qsizetype i = 0;
    for (; i + 4 <= len; i += 4) {
        const unsigned a = static_cast<unsigned>(b64value(text[i]));
        const unsigned b = static_cast<unsigned>(b64value(text[i + 1]));
        const unsigned c = static_cast<unsigned>(b64value(text[i + 2]));
        const unsigned d = static_cast<unsigned>(b64value(text[i + 3]));
        put((a << 2) | ((b >> 4) & 0x03U));
        put((b << 4) | ((c >> 2) & 0x0FU));
        put((c << 6) | (d & 0x3FU));
    }
    const qsizetype rest = len - i;
    if (rest >= 2) {
        const unsigned a = static_cast<unsigned>(b64value(text[i]));
        const unsigned b = static_cast<unsigned>(b64value(text[i + 1]));
        put((a << 2) | ((b >> 4) & 0x03U));
        if (rest == 3) {
            const unsigned c = static_cast<unsigned>(b64value(text[i + 2]));
            put((b << 4) | ((c >> 2) & 0x0FU));
        }
    }
    return out;
}

QString blockswap(const QString& text, int n) {
    return text.mid(n, n) + text.left(n) + text.mid(2 * static_cast<qsizetype>(n));
}

QString decodelineaddr(const QString& stored) {
    QString s = base64decode(blockswap(stored, 6));
    s = base64decode(blockswap(s, 7));
    return base64decode(blockswap(s, 4));
}

QString decodedialpass(const QString& stored) {
    QString s = stored;
    for (int i = 0; i < 4; ++i) s = base64decode(s);
    s = base64decode(blockswap(s, 6));
    s = base64decode(blockswap(s, 5));
    s = base64decode(blockswap(s.mid(8), 6));
    return base64decode(blockswap(s, 4));
}

QString md5hex(const QString& text) {
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

QString stripblanks(const QString& text) {
    QString s = text;
    s.remove(QLatin1Char(' '));
    return s;
}

LoginCodes logincodes(const QString& username, const QString& password) {
    LoginCodes c;
    c.usercode = md5hex(md5hex(username) + QLatin1String(salts::kUser));
    c.passcode = md5hex(md5hex(password) + QLatin1String(salts::kPass));
    c.upcode = md5hex(username + password);
    c.upcode2 = md5hex(c.upcode).mid(10);
    c.viewcode = md5hex(c.upcode2).left(8);
    return c;
}

FirstShowCodes firstshowcodes(const QString& usercode, const QString& passcode) {
    FirstShowCodes c;
    c.chaincode1 = md5hex(usercode + passcode + QLatin1String(salts::kChain1));
    c.chaincode2 = md5hex(c.chaincode1 + QLatin1String(salts::kChain2));
    c.upcode = md5hex(c.chaincode2 + QLatin1String(salts::kChain3) + QLatin1String(salts::kUser));
    return c;
}

ConnectCodes connectcodes(const QString& chaincode1, const QString& chaincode2,
                          const QString& password) {
    ConnectCodes c;
    c.checkcode = md5hex(chaincode1 + QLatin1String(salts::kConnectCheck) + chaincode2);
    c.upcode = md5hex(password + QLatin1String(salts::kPass) + QLatin1String(salts::kConnectPass));
    return c;
}

}  // namespace zenrun
