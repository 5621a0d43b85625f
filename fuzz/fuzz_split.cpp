// split5/split10: exactly five or ten slots; the pieces are the text with its separators
// taken out, none empty but the last; fields joined by the separator come back in place.
#include "core/strings.h"
#include "fuzzcommon.h"

using namespace zenrun;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const QString sep = fuzz::utf8text(in.ConsumeRandomLengthString(3));
    const QString text = fuzz::utf8text(in.ConsumeRandomLengthString(1024));
    const strings s(text);
    const auto five = s.split5(sep);
    const auto ten = s.split10(sep);
    for (std::size_t i = 0; i < 5; ++i) FUZZ_CHECK(five[i] == ten[i], text);

    if (!sep.isEmpty()) {
        const QStringList all = splitpieces(text, sep, static_cast<int>(text.size()) + 1);
        // Only the last real piece may be empty, and the padding after it is.
        QString joined;
        bool emptySeen = false;
        for (const QString& piece : all) {
            FUZZ_CHECK(!(emptySeen && !piece.isEmpty()), text + QStringLiteral(" / ") + sep);
            emptySeen = emptySeen || piece.isEmpty();
            joined += piece;
        }
        QString removed = text;
        removed.replace(sep, QString());
        FUZZ_CHECK(joined == removed, text + QStringLiteral(" / ") + sep);
        for (std::size_t i = 0; i < 10; ++i)
            FUZZ_CHECK(ten[i] == (static_cast<qsizetype>(i) < all.size() ? all[i] : QString()),
                       text);
    }

    // No field shifting: non-empty fields without the separator come back in their slots.
    // (The back-end's separators are single characters; a longer one can overlap a field.)
    if (sep.size() != 1) return 0;
    QStringList fields;
    while (fields.size() < 10 && in.remaining_bytes() > 0) {
        QString f = fuzz::utf8text(in.ConsumeRandomLengthString(16));
        f.replace(sep, QString());
        if (f.isEmpty()) f = QStringLiteral("x");
        if (f.contains(sep)) return 0;  // taking one out made another
        fields << f;
    }
    if (fields.isEmpty()) return 0;
    const auto back = strings(fields.join(sep)).split10(sep);
    for (qsizetype i = 0; i < fields.size(); ++i)
        FUZZ_CHECK(back[static_cast<std::size_t>(i)] == fields[i], fields.join(sep));
    return 0;
}
