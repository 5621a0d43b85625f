// The host-probe reply: no field ever holds the separator or the update address a ")";
// five fields sent without empty ones arrive each in its own place.
#include "backend/endpoints.h"
#include "fuzzcommon.h"

using namespace zenrun;

namespace {
QString clean(QString f) {
    for (const char c : {'-', '(', ')', '\n'}) f.remove(QLatin1Char(c));
    return f.isEmpty() ? QStringLiteral("0") : f;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString reply = fuzz::replytext(data, size);
    const ProbeFields f = parseprobereply(reply);
    for (const QString& field :
         {f.userpeerip, f.newversion, f.serverhostip, f.updateurl, f.routeenable})
        FUZZ_CHECK(!field.contains(QLatin1Char('-')), reply);
    FUZZ_CHECK(!f.updateurl.contains(QLatin1Char(')')), reply);
    FUZZ_CHECK(!f.updateurl.contains(QLatin1Char('(')), reply);

    FuzzedDataProvider in(data, size);
    QString parts[5];
    for (QString& p : parts) p = clean(fuzz::utf8text(in.ConsumeRandomLengthString(24)));
    const QString sent = parts[0] + QLatin1Char('-') + parts[1] + QLatin1Char('-') + parts[2] +
                         QStringLiteral("-(") + parts[3] + QStringLiteral(")-") + parts[4];
    const ProbeFields back = parseprobereply(sent);
    FUZZ_CHECK(back.userpeerip == parts[0], sent);
    FUZZ_CHECK(back.newversion == parts[1], sent);
    FUZZ_CHECK(back.serverhostip == parts[2], sent);
    FUZZ_CHECK(back.updateurl == parts[3], sent);
    FUZZ_CHECK(back.routeenable == parts[4], sent);
    return 0;
}
