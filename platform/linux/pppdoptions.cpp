#include "platform/linux/pppdoptions.h"

#include <QRegularExpression>

namespace zenrun::pppd {

namespace {

// pppd keeps at most this many characters of a secret.
constexpr int kMaxSecret = 255;

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

QString controlName(QChar c) {
    switch (c.unicode()) {
        case 0:
            return QStringLiteral("NUL");
        case '\n':
            return QStringLiteral("LF");
        case '\r':
            return QStringLiteral("CR");
        case '\t':
            return QStringLiteral("TAB");
        default:
            return QStringLiteral("0x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
}

// Metadata lines: a comment to pppd, our record of the entry.
constexpr char kMeta[] = "#@ ";

QString encryptionWord(EntryEncryption e) {
    return e == EntryEncryption::RequireMax ? QStringLiteral("max") : QStringLiteral("optional");
}

}  // namespace

QString checkEntryName(const QString& name) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,20}$"));
    if (!digits.match(name).hasMatch())
        return QStringLiteral("the entry name \"%1\" is not made of 1 to 20 digits").arg(name);
    return {};
}

QString checkServer(const QString& server) {
    static const QRegularExpression quad(
        QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    static const QRegularExpression host(QStringLiteral(
        "^[A-Za-z0-9]([A-Za-z0-9-]{0,62})(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,62}))*\\.?$"));
    const QString refused =
        QStringLiteral("the server address \"%1\" is neither an IPv4 address nor a host name")
            .arg(server);
    if (server.isEmpty() || server.size() > 253) return refused;
    if (const auto m = quad.match(server); m.hasMatch()) {
        for (int i = 1; i <= 4; ++i)
            if (m.captured(i).toInt() > 255) return refused;
        return {};
    }
    // Digits and dots only is an address gone wrong, not a name.
    static const QRegularExpression numeric(QStringLiteral("^[0-9.]+$"));
    if (numeric.match(server).hasMatch()) return refused;
    // A name that starts with a letter or digit cannot be taken for an option of pptp.
    return host.match(server).hasMatch() ? QString() : refused;
}

QString checkSecret(const QString& what, const QString& value) {
    for (const QChar c : value)
        if (isControl(c))
            return QStringLiteral("the %1 holds a control character (%2)")
                .arg(what, controlName(c));
    if (value.toUtf8().size() > kMaxSecret)
        return QStringLiteral("the %1 is longer than %2 bytes").arg(what).arg(kMaxSecret);
    return {};
}

QString checkProgramPath(const QString& path) {
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9/._+-]+$"));
    if (!safe.match(path).hasMatch() || path.startsWith(QLatin1Char('-')))
        return QStringLiteral("the program path \"%1\" holds characters a command line cannot take")
            .arg(path);
    return {};
}

QString quote(const QString& word) {
    QString out = QStringLiteral("\"");
    for (const QChar c : word) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (isControl(c)) {
            // Octal escapes keep the file one option per line whatever the value holds.
            out += QStringLiteral("\\%1").arg(c.unicode(), 3, 8, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QStringList words(const QString& text) {
    const QByteArray in = text.toUtf8();
    QStringList out;
    qsizetype i = 0;
    const qsizetype n = in.size();
    auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    };
    auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    while (i < n) {
        const char c = in[i];
        if (isSpace(c)) {
            ++i;
            continue;
        }
        if (c == '#') {
            while (i < n && in[i] != '\n') ++i;
            continue;
        }
        QByteArray word;
        char quoted = 0;
        while (i < n) {
            const char d = in[i];
            if (d == '\\') {
                ++i;
                if (i >= n) break;
                const char e = in[i++];
                switch (e) {
                    case '\n':
                        break;  // continues the line
                    case 'a':
                        word += '\a';
                        break;
                    case 'b':
                        word += '\b';
                        break;
                    case 'f':
                        word += '\f';
                        break;
                    case 'n':
                        word += '\n';
                        break;
                    case 'r':
                        word += '\r';
                        break;
                    case 's':
                        word += ' ';
                        break;
                    case 't':
                        word += '\t';
                        break;
                    case 'v':
                        word += '\v';
                        break;
                    case 'x': {
                        int v = 0, digits = 0;
                        while (digits < 2 && i < n && hexValue(in[i]) >= 0)
                            v = v * 16 + hexValue(in[i++]), ++digits;
                        word += digits ? static_cast<char>(v) : 'x';
                        break;
                    }
                    default:
                        if (isOctal(e)) {
                            int v = e - '0', digits = 1;
                            while (digits < 3 && i < n && isOctal(in[i]))
                                v = v * 8 + (in[i++] - '0'), ++digits;
                            word += static_cast<char>(v);
                        } else {
                            word += e;
                        }
                }
                continue;
            }
            if (quoted) {
                ++i;
                if (d == quoted)
                    quoted = 0;
                else
                    word += d;
                continue;
            }
            if (d == '"' || d == '\'') {
                quoted = d;
                ++i;
                continue;
            }
            if (isSpace(d) || d == '#') break;
            word += d;
            ++i;
        }
        out += QString::fromUtf8(word);
    }
    return out;
}

QString peersFile(const QString& name, const StoredEntry& stored, const QString& pptp) {
    const RasEntry& e = stored.entry;
    const bool strong = e.encryption == EntryEncryption::RequireMax;
    QStringList lines;
    lines << QStringLiteral(
                 "# Dial-up entry %1 of zenrun. It holds a password: readable by root "
                 "only, removed once the link is up.")
                 .arg(name);
    const QString meta = QLatin1String(kMeta);
    lines << meta + QStringLiteral("server ") + quote(e.phoneNumber);
    lines << meta + QStringLiteral("device ") +
                 (e.l2tp() ? QStringLiteral("l2tp") : QStringLiteral("pptp"));
    lines << meta + QStringLiteral("device-type ") + quote(e.deviceType);
    lines << meta + QStringLiteral("device-name ") + quote(e.deviceName);
    lines << meta + QStringLiteral("options 0x") + QString::number(e.options, 16);
    lines << meta + QStringLiteral("encryption ") + encryptionWord(e.encryption);
    lines << meta + QStringLiteral("type ") +
                 (e.vpn ? QStringLiteral("vpn") : QStringLiteral("ppp"));
    lines << meta + QStringLiteral("framing ") +
                 (e.pppFraming ? QStringLiteral("ppp") : QStringLiteral("other"));
    lines << meta + QStringLiteral("protocols ") +
                 (e.tcpIpOnly ? QStringLiteral("ip") : QStringLiteral("any"));

    lines << QStringLiteral("linkname ") + linkName(name);
    lines << QStringLiteral("nodetach");
    // We are the client: the server proves nothing to us beyond the tunnel's own checks.
    lines << QStringLiteral("noauth") << QStringLiteral("refuse-eap");
    lines << QStringLiteral("noipdefault");
    // A silent peer ends the link (exit 15) rather than leaving it up forever.
    lines << QStringLiteral("lcp-echo-interval 20") << QStringLiteral("lcp-echo-failure 3");
    if (e.has(kRemoteDefaultGateway))
        lines << QStringLiteral("defaultroute") << QStringLiteral("replacedefaultroute");
    if (!e.has(kIpHeaderCompression)) lines << QStringLiteral("novj");
    if (!e.has(kSwCompression)) lines << QStringLiteral("nobsdcomp") << QStringLiteral("nodeflate");

    // Authentication: the entry's allowed protocols; none allowed means no restriction.
    const std::uint32_t authBits = kRequirePap | kRequireChap | kRequireMsChap | kRequireMsChap2;
    const bool anyAuth = (e.options & authBits) != 0;
    // MPPE keys come only from MS-CHAP, so strong encryption never falls back to PAP or CHAP.
    if (strong || (anyAuth && !e.has(kRequirePap))) lines << QStringLiteral("refuse-pap");
    if (strong || (anyAuth && !e.has(kRequireChap))) lines << QStringLiteral("refuse-chap");
    if (anyAuth && !e.has(kRequireMsChap)) lines << QStringLiteral("refuse-mschap");
    if (anyAuth && !e.has(kRequireMsChap2)) lines << QStringLiteral("refuse-mschap-v2");
    if (strong) lines << QStringLiteral("require-mppe-128");

    if (!e.l2tp())
        lines << QStringLiteral("pty ") + quote(pptp + QLatin1Char(' ') + e.phoneNumber +
                                                QStringLiteral(" --nolaunchpppd"));
    if (stored.hasCredentials) {
        lines << QStringLiteral("user ") + quote(stored.user);
        lines << QStringLiteral("password ") + quote(stored.password);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

std::optional<StoredEntry> parsePeersFile(const QString& text) {
    StoredEntry s;
    bool ours = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String(kMeta))) continue;
        const QStringList w = words(line.mid(static_cast<qsizetype>(sizeof kMeta) - 1));
        if (w.size() < 2) continue;
        const QString& key = w[0];
        const QString& v = w[1];
        if (key == QLatin1String("server")) {
            s.entry.phoneNumber = v;
            ours = true;
        } else if (key == QLatin1String("device")) {
            s.entry.strategy =
                v == QLatin1String("l2tp") ? VpnStrategy::L2tpOnly : VpnStrategy::PptpFirst;
        } else if (key == QLatin1String("device-type")) {
            s.entry.deviceType = v;
        } else if (key == QLatin1String("device-name")) {
            s.entry.deviceName = v;
        } else if (key == QLatin1String("options")) {
            s.entry.options = v.toUInt(nullptr, 16);
        } else if (key == QLatin1String("encryption")) {
            s.entry.encryption =
                v == QLatin1String("max") ? EntryEncryption::RequireMax : EntryEncryption::Optional;
        } else if (key == QLatin1String("type")) {
            s.entry.vpn = v == QLatin1String("vpn");
        } else if (key == QLatin1String("framing")) {
            s.entry.pppFraming = v == QLatin1String("ppp");
        } else if (key == QLatin1String("protocols")) {
            s.entry.tcpIpOnly = v == QLatin1String("ip");
        }
    }
    if (!ours) return std::nullopt;
    const QStringList w = words(text);
    for (qsizetype i = 0; i + 1 < w.size(); ++i) {
        if (w[i] == QLatin1String("user")) {
            s.user = w[++i];
            s.hasCredentials = true;
        } else if (w[i] == QLatin1String("password")) {
            s.password = w[++i];
            s.hasCredentials = true;
        }
    }
    return s;
}

}  // namespace zenrun::pppd
