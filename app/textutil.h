#pragma once

#include <QString>

namespace zenrun {

// System language: 1 Chinese (PRC), 2 Chinese (Taiwan), 0 English (US), 3 anything else.
int getsyslang();
// Character-for-character conversion; the result has the input's length.
QString totraditional(const QString& text);
QString tosimplified(const QString& text);

// Lenient Base64: padding optional, short tails decoded, foreign characters count as -1.
// Every byte becomes the character with that code (0-255).
QString base64decode(const QString& text);
// B + A + C where A is characters 1..n, B n+1..2n, C the rest.
QString blockswap(const QString& text, int n);
QString decodelineaddr(const QString& stored);
QString decodedialpass(const QString& stored);
// MD5 of the UTF-8 bytes, 32 lower-case hex digits.
QString md5hex(const QString& text);
// The text without any U+0020.
QString stripblanks(const QString& text);

// Codes derived at login from the trimmed user name and password.
struct LoginCodes {
    QString usercode, passcode, upcode, upcode2, viewcode;
};
LoginCodes logincodes(const QString& username, const QString& password);

// Codes derived when the main window is first shown.
struct FirstShowCodes {
    QString chaincode1, chaincode2, upcode;
};
FirstShowCodes firstshowcodes(const QString& usercode, const QString& passcode);

// Codes derived at every connect.
struct ConnectCodes {
    QString checkcode, upcode;
};
ConnectCodes connectcodes(const QString& chaincode1, const QString& chaincode2,
                          const QString& password);

}  // namespace zenrun
