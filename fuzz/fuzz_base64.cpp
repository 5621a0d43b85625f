// The lenient Base64 decoder: any text decodes to characters 0-255 of a length fixed by the
// input's; a standard encoding of any bytes, padded or not, decodes back to those bytes.
#include "core/textutil.h"
#include "fuzzcommon.h"

using namespace zenrun;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const QString text = fuzz::utf8text(in.ConsumeRandomLengthString(512));
    const QString out = base64decode(text);
    qsizetype len = text.size();
    if (len > 0 && text[len - 1] == QLatin1Char('=')) --len;
    if (len > 0 && text[len - 1] == QLatin1Char('=')) --len;
    const qsizetype rest = len % 4;
    FUZZ_CHECK(out.size() == len / 4 * 3 + (rest >= 2 ? rest - 1 : 0), text);
    for (const QChar c : out) FUZZ_CHECK(c.unicode() <= 0xFF, text);

    const std::string raw = in.ConsumeRemainingBytesAsString();
    const QByteArray bytes = QByteArray::fromStdString(raw);
    const QString expect = fuzz::bytetext(raw);
    const QString padded = QString::fromLatin1(bytes.toBase64());
    const QString bare = QString::fromLatin1(bytes.toBase64(QByteArray::OmitTrailingEquals));
    FUZZ_CHECK(base64decode(padded) == expect, padded);
    FUZZ_CHECK(base64decode(bare) == expect, bare);
    return 0;
}
