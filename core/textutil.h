#pragma once

#include <QString>
#include <QStringList>

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

// Browser clean-up of the desktop user whose home folder is given (pass
// Shell::desktopUserHome(), which names the user behind sudo or pkexec). Firefox and the
// Chromium family; README.md lists exactly what goes. Failures are silent: whatever cannot be
// deleted stays.
//
// The folders that hold cookie files: every Firefox profile, every Chromium-family profile and
// its Network folder.
QStringList getcookiedir(const QString& home);
// Deletes the files (and links, never folders) of one folder whose names match the wildcard
// last part of the pattern ("dir/*.txt"). True when every match went; no match is success.
bool deletefiles(const QString& pattern);
// Firefox's cookies.sqlite with its journal files, Chromium's Cookies with its journal.
void clearcookies(const QString& home);
// Empties the browsers' cache folders (the folders stay).
void clearcache(const QString& home);

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
