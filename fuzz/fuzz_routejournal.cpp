// The route journal reader: a journal written from what was read reads back the same; any
// routes written come back exactly, every attribute included.
#include "fuzzcommon.h"
#include "netcfg/routejournal.h"

using namespace zenrun;

namespace {
bool same(const std::vector<Ipv4Route>& a, const std::vector<Ipv4Route>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!a[i].sameRoute(b[i]) || a[i].type != b[i].type) return false;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string raw = in.ConsumeRandomLengthString(2048);
    const std::vector<Ipv4Route> read = RouteJournal::parse(QByteArray::fromStdString(raw));
    const QByteArray written = RouteJournal::serialize(read);
    FUZZ_CHECK(same(RouteJournal::parse(written), read), QString::fromLatin1(written));

    std::vector<Ipv4Route> routes;
    while (in.remaining_bytes() > 0 && routes.size() < 64) {
        Ipv4Route r;
        r.destination = in.ConsumeIntegral<std::uint32_t>();
        const int prefix = in.ConsumeIntegralInRange(0, 32);
        r.mask = prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
        r.nextHop = in.ConsumeIntegral<std::uint32_t>();
        r.ifIndex = in.ConsumeIntegral<int>();
        r.type = in.ConsumeIntegral<int>();
        r.protocol = in.ConsumeIntegral<int>();
        r.metric = in.ConsumeIntegral<int>();
        routes.push_back(r);
    }
    const QByteArray text = RouteJournal::serialize(routes);
    FUZZ_CHECK(same(RouteJournal::parse(text), routes), QString::fromLatin1(text));
    return 0;
}
