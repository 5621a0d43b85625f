// The login reply: the bytes decoded in the code page never grow into more characters
// than bytes (what arrives bounds what is kept), and only an empty reply or the exact word
// "error" is anything but success.
#include "backend/login.h"
#include "fuzzcommon.h"

using namespace zenrun;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString reply = fuzz::replytext(data, size);
    FUZZ_CHECK(reply.size() <= static_cast<qsizetype>(size), reply);
    const LoginAnswer answer = loginanswer(reply);
    FUZZ_CHECK((answer == LoginAnswer::NoAnswer) == reply.isEmpty(), reply);
    FUZZ_CHECK((answer == LoginAnswer::Refused) == (reply == QLatin1String("error")), reply);
    // A reply that merely starts or ends with the word is account information.
    if (!reply.isEmpty())
        FUZZ_CHECK(loginanswer(reply + QStringLiteral("error")) == LoginAnswer::Accepted, reply);
    return 0;
}
