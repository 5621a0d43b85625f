#pragma once

#include <QByteArray>
#include <QString>

namespace zenrun::server {

// Text of the back-end's own: the stored forms the client recovers with its decoders, and
// the code page of the wire.

// Base64 of a text whose characters are bytes (0-255), without padding: the stored forms
// move characters around between stages, and a padding "=" moved into the middle would
// corrupt the client's decoding.
QString base64encode(const QString& bytes);
// The inverse of the client's block swap (B + A + C with blocks of n) for every length.
// For a text of 2n characters or more the swap is its own inverse; between n and 2n the
// second block is short and the swap has to be undone differently.
QString unblockswap(const QString& text, int n);
// Stored form of a line's server address (decodelineaddr recovers it).
QString encodelineaddr(const QString& address);
// Stored form of a dial password (decodedialpass recovers it). The client drops eight
// characters in the middle of its stages; `filler` supplies them (padded or cut to 8).
QString encodedialpass(const QString& password, const QString& filler);
// Dial user name as the IP check sends it: Base64 twice.
QString encodedialuser(const QString& user);

// The back-end's code page (GBK) on the wire.
QByteArray togbk(const QString& text);
QString fromgbk(const QByteArray& bytes);

}  // namespace zenrun::server
