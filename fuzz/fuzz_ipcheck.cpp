// The IP check's reply: whatever arrives, the credentials never hold more characters than
// the reply, a reply without the dial-account separator keeps the account's own password,
// and the three forms the back-end sends (accept, issued dial account, account dial name)
// come back exactly as encoded.
#include "core/textutil.h"
#include "fuzzcommon.h"
#include "server/codec.h"
#include "server/service.h"
#include "vpn/connect.h"

using namespace zenrun;

namespace {
QString show(const DialCredentials& c) {
    return c.user + QStringLiteral(" / ") + c.password +
           (c.dialaccount ? QStringLiteral(" (account)") : QStringLiteral(" (issued)"));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const QString username = fuzz::utf8text(in.ConsumeRandomLengthString(32));
    const QString userpass = fuzz::utf8text(in.ConsumeRandomLengthString(32));
    const QString sepA = QString::fromLatin1(server::kSeparatorA);
    const QString sepB = QString::fromLatin1(server::kSeparatorB);

    // Anything at all.
    const QString reply = fuzz::replytext(reinterpret_cast<const std::uint8_t*>(data), size);
    const DialCredentials any = ipcheckcredentials(reply, username, userpass);
    FUZZ_CHECK(any.user.size() <= std::max(reply.size(), username.size()), reply);
    if (!reply.contains(sepA))
        FUZZ_CHECK(any.dialaccount && any.password == userpass, reply + QStringLiteral(" -> ") + show(any));

    // The accept token: the account's own name and password.
    const DialCredentials accepted =
        ipcheckcredentials(QString::fromLatin1(server::kAcceptToken), username, userpass);
    FUZZ_CHECK(accepted.user == username && accepted.password == userpass && accepted.dialaccount,
               show(accepted));

    // An issued dial account and an account dial name, as the back-end writes them.
    const QString filler = fuzz::bytetext(in.ConsumeRandomLengthString(12));
    // The back-end sends a dial user name as its bytes in the code page; the client dials
    // with those bytes.
    const QString dialuser = fuzz::utf8text(in.ConsumeRandomLengthString(64));
    const QString dialbytes = QString::fromLatin1(server::togbk(dialuser));
    const QString dialpass = fuzz::bytetext(in.ConsumeRemainingBytesAsString());
    if (!dialuser.isEmpty() && !dialpass.isEmpty()) {
        const QString issued =
            server::encodedialuser(dialuser) + sepA + server::encodedialpass(dialpass, filler);
        const DialCredentials c = ipcheckcredentials(issued, username, userpass);
        FUZZ_CHECK(c.user == dialbytes && c.password == dialpass && !c.dialaccount,
                   issued + QStringLiteral(" -> ") + show(c));
    }
    // (The account name is never empty once logged in; the split drops empty pieces.)
    if (!dialuser.isEmpty() && !username.isEmpty() && !username.contains(sepA) &&
        !username.contains(sepB)) {
        const QString named = username + sepB + server::encodedialuser(dialuser);
        const DialCredentials c = ipcheckcredentials(named, username, userpass);
        FUZZ_CHECK(c.user == dialbytes && c.password == userpass && c.dialaccount,
                   named + QStringLiteral(" -> ") + show(c));
    }
    return 0;
}
