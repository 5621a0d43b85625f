#pragma once

// The boundary between a dial-up entry and pppd: what may reach pppd's options file (and through
// its `pty` option, /bin/sh), how it is quoted, and how our own files are read back.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/ras.h"

namespace zenrun::pppd {

// Our files and links carry this prefix so nothing of ours is taken for another program's peers.
inline constexpr char kPrefix[] = "zenrun-";

// An empty text when the value may go to pppd; otherwise why not, in words.
QString checkEntryName(const QString& name);                     // digits only
QString checkServer(const QString& server);                      // dotted quad or host name
QString checkSecret(const QString& what, const QString& value);  // user name or password
QString checkProgramPath(const QString& path);  // goes into a shell command line unquoted

// A word in pppd's options-file syntax: double-quoted, with \ and " escaped.
QString quote(const QString& word);
// pppd's reading of an options file: whitespace-separated words, "..." quoting, backslash
// escapes, # comments. The inverse of quote() for every value quote() accepts.
QStringList words(const QString& text);

// What one peers file of ours holds besides pppd's options.
struct StoredEntry {
    RasEntry entry;
    QString user, password;
    bool hasCredentials = false;
};

// The options file for one entry. `pptp` is the pptp program (PPTP entries only).
// The values must have passed the checks above.
QString peersFile(const QString& name, const StoredEntry& stored, const QString& pptp);
// Reads a file written by peersFile(); nothing when it is not one of ours.
std::optional<StoredEntry> parsePeersFile(const QString& text);

// pppd's logical link name for the entry (also names /run/ppp-LINKNAME.pid).
inline QString linkName(const QString& name) {
    return QLatin1String(kPrefix) + name;
}

}  // namespace zenrun::pppd
