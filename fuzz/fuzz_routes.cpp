// The route list into the route table: always 2000 entries; a filled entry holds a valid
// destination and mask from the value of the key at its own position, and the gateway;
// routes written in full land each at its key's position.
#include "core/inidocument.h"
#include "core/strings.h"
#include "fuzzcommon.h"
#include "netcfg/routes.h"

using namespace zenrun;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string raw = in.ConsumeRandomLengthString(4096);
    const QString text =
        fuzz::replytext(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
    const IniDocument list = IniDocument::parse(text);
    const QString gateway = QStringLiteral("192.0.2.1");
    Tmyrouters table(kRouterCount);
    for (const QString& mode : list.sections()) {
        fillroutes(table, list, mode, gateway);
        FUZZ_CHECK(table.size() == static_cast<std::size_t>(kRouterCount), mode);
        const QStringList keys = list.keys(mode);
        for (std::size_t i = 0; i < table.size(); ++i) {
            const Tmyrouter& r = table[i];
            if (r.destionation.isEmpty()) continue;
            FUZZ_CHECK(static_cast<qsizetype>(i) < keys.size(), mode);
            FUZZ_CHECK(parsedottedquad(r.destionation) && parsemask(r.mask), r.destionation);
            FUZZ_CHECK(r.gateway == gateway, r.gateway);
            const auto f = strings(list.value(mode, keys[static_cast<qsizetype>(i)]))
                               .split10(QStringLiteral("|"));
            FUZZ_CHECK(f[0] == r.destionation && f[1] == r.mask, r.destionation);
        }
    }

    // Whole routes and holes, in one mode: each keeps its key's position.
    QString sent = QStringLiteral("[mode]\n");
    std::vector<std::pair<QString, QString>> want;
    while (in.remaining_bytes() > 0 && want.size() < 64) {
        const std::uint32_t dst = in.ConsumeIntegral<std::uint32_t>();
        const int prefix = in.ConsumeIntegralInRange(0, 32);
        const std::uint32_t mask = prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
        const bool hole = in.ConsumeBool();
        const QString d = dottedquad(dst), m = dottedquad(mask);
        sent += QStringLiteral("k%1=").arg(want.size()) +
                (hole ? d + QStringLiteral("|") : d + QStringLiteral("||") + m) + QLatin1Char('\n');
        want.emplace_back(hole ? QString() : d, m);
    }
    fillroutes(table, IniDocument::parse(sent), QStringLiteral("mode"), gateway);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const bool filled = i < want.size() && !want[i].first.isEmpty();
        FUZZ_CHECK(table[i].destionation == (filled ? want[i].first : QString()), sent);
        if (filled) FUZZ_CHECK(table[i].mask == want[i].second, sent);
    }
    return 0;
}
