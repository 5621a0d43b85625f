// The two recovery routines (line address, dial password): whatever the back-end stored
// they give characters 0-255 and never fail; what the reference back-end encodes they
// recover exactly, for every length.
#include "core/textutil.h"
#include "fuzzcommon.h"
#include "server/codec.h"

using namespace zenrun;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const QString stored = fuzz::utf8text(in.ConsumeRandomLengthString(256));
    for (const QString& out : {decodelineaddr(stored), decodedialpass(stored)})
        for (const QChar c : out) FUZZ_CHECK(c.unicode() <= 0xFF, stored);

    const QString filler = fuzz::bytetext(in.ConsumeRandomLengthString(12));
    const QString plain = fuzz::bytetext(in.ConsumeRemainingBytesAsString());
    const QString addr = server::encodelineaddr(plain);
    FUZZ_CHECK(decodelineaddr(addr) == plain, plain + QStringLiteral(" -> ") + addr);
    const QString pass = server::encodedialpass(plain, filler);
    FUZZ_CHECK(decodedialpass(pass) == plain, plain + QStringLiteral(" -> ") + pass);
    return 0;
}
