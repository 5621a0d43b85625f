// The dial-up entry's options file: whatever the user name, password and device name hold,
// a file written for values that pass the checks reads back (in pppd's word syntax) as
// exactly one user and one password option with exactly those values, one pty command for
// the checked server, and the entry as stored. A quoted word always reads back as itself.
#include "fuzzcommon.h"
#include "platform/linux/pppdoptions.h"

using namespace zenrun;

namespace {
// pppd's options in the files we write that take one argument.
bool takesArgument(const QString& option) {
    static const QStringList withArg = {
        QStringLiteral("linkname"), QStringLiteral("lcp-echo-interval"),
        QStringLiteral("lcp-echo-failure"), QStringLiteral("pty"), QStringLiteral("user"),
        QStringLiteral("password")};
    return withArg.contains(option);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    pppd::StoredEntry stored;
    stored.entry.vpn = in.ConsumeBool();
    stored.entry.strategy = in.ConsumeBool() ? VpnStrategy::L2tpOnly : VpnStrategy::PptpFirst;
    stored.entry.encryption =
        in.ConsumeBool() ? EntryEncryption::RequireMax : EntryEncryption::Optional;
    stored.entry.options = in.ConsumeIntegral<std::uint32_t>();
    stored.entry.phoneNumber = fuzz::utf8text(in.ConsumeRandomLengthString(64));
    stored.entry.deviceName = fuzz::utf8text(in.ConsumeRandomLengthString(64));
    stored.user = fuzz::utf8text(in.ConsumeRandomLengthString(300));
    stored.password = fuzz::utf8text(in.ConsumeRemainingBytesAsString());
    stored.hasCredentials = true;

    for (const QString& w : {stored.user, stored.password, stored.entry.deviceName}) {
        const QStringList back = pppd::words(pppd::quote(w));
        FUZZ_CHECK(back == QStringList{w}, w + QStringLiteral(" -> ") + back.join(QLatin1Char('|')));
    }

    if (!pppd::checkSecret(QStringLiteral("user name"), stored.user).isEmpty() ||
        !pppd::checkSecret(QStringLiteral("password"), stored.password).isEmpty() ||
        !pppd::checkServer(stored.entry.phoneNumber).isEmpty())
        return 0;
    const QString pptp = QStringLiteral("/usr/sbin/pptp");
    const QString text = pppd::peersFile(QStringLiteral("1211093015"), stored, pptp);

    // The options as pppd takes them: each with its argument, if it has one.
    const QStringList w = pppd::words(text);
    QStringList users, passwords, ptys;
    for (qsizetype i = 0; i < w.size(); ++i) {
        if (!takesArgument(w[i])) continue;
        FUZZ_CHECK(i + 1 < w.size(), text);
        const QString& arg = w[++i];
        if (w[i - 1] == QLatin1String("user")) users << arg;
        if (w[i - 1] == QLatin1String("password")) passwords << arg;
        if (w[i - 1] == QLatin1String("pty")) ptys << arg;
    }
    FUZZ_CHECK(users == QStringList{stored.user}, text);
    FUZZ_CHECK(passwords == QStringList{stored.password}, text);
    const QStringList pty =
        stored.entry.l2tp()
            ? QStringList{}
            : QStringList{pptp + QLatin1Char(' ') + stored.entry.phoneNumber +
                          QStringLiteral(" --nolaunchpppd")};
    FUZZ_CHECK(ptys == pty, text);

    const auto back = pppd::parsePeersFile(text);
    FUZZ_CHECK(back.has_value(), text);
    FUZZ_CHECK(back->user == stored.user && back->password == stored.password, text);
    FUZZ_CHECK(back->entry.phoneNumber == stored.entry.phoneNumber &&
                   back->entry.deviceName == stored.entry.deviceName &&
                   back->entry.options == stored.entry.options &&
                   back->entry.strategy == stored.entry.strategy &&
                   back->entry.encryption == stored.entry.encryption &&
                   back->entry.vpn == stored.entry.vpn,
               text);
    return 0;
}
