// The line list into records: each record comes from a non-empty line of its area whose name
// holds the filter, and a line written with all four fields arrives with each field in its
// place and its address recovered.
#include "core/inidocument.h"
#include "fuzzcommon.h"
#include "lines/linelist.h"
#include "server/codec.h"

using namespace zenrun;

namespace {
QString nocomma(QString f) {
    for (const char c : {',', '\n', '\r', '[', ']', '=', ';'}) f.remove(QLatin1Char(c));
    f = f.trimmed();
    return f.isEmpty() ? QStringLiteral("1") : f;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int lang = in.ConsumeIntegralInRange(0, 3);
    const QString filter = fuzz::utf8text(in.ConsumeRandomLengthString(4));
    const std::string raw = in.ConsumeRandomLengthString(4096);
    const QString text =
        fuzz::replytext(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
    const IniDocument list = IniDocument::parse(text);
    const QString yes = lang == 2 ? QStringLiteral("yes") : QStringLiteral("支持");
    const QString no = lang == 2 ? QStringLiteral("-") : QStringLiteral("不支持");
    for (const QString& area : list.sections()) {
        const std::vector<ps> all = LineList::records(list, area, QString(), lang);
        const std::vector<ps> some = LineList::records(list, area, filter, lang);
        FUZZ_CHECK(all.size() <= static_cast<std::size_t>(list.keys(area).size()), area);
        FUZZ_CHECK(some.size() <= all.size(), area);
        for (const ps& line : some) {
            FUZZ_CHECK(line.name.contains(filter), line.name);
            FUZZ_CHECK(line.delay == QLatin1String("NA"), line.name);
            FUZZ_CHECK(!list.value(area, line.name).isEmpty(), line.name);
            if (lang != 3) FUZZ_CHECK(line.l2tpstatus == yes || line.l2tpstatus == no, line.name);
            FUZZ_CHECK(!line.onlinerate.contains(QLatin1Char(',')), line.name);
            FUZZ_CHECK(!line.marknum.contains(QLatin1Char(',')), line.name);
        }
    }

    // Lines with every field present, one area: no field moves.
    QString sent = QStringLiteral("[area]\n");
    struct Want {
        QString name, address, rate, type;
        bool l2tp;
    };
    std::vector<Want> want;
    while (in.remaining_bytes() > 0 && want.size() < 20) {
        Want w;
        w.name = nocomma(fuzz::utf8text(in.ConsumeRandomLengthString(12))) +
                 QString::number(want.size());
        w.address = fuzz::bytetext(in.ConsumeRandomLengthString(20));
        if (w.address.isEmpty()) w.address = QStringLiteral("0");  // an empty field shifts
        w.rate = nocomma(fuzz::utf8text(in.ConsumeRandomLengthString(8)));
        w.l2tp = in.ConsumeBool();
        w.type = QString::number(in.ConsumeIntegralInRange(0, 9));
        sent += w.name + QLatin1Char('=') + server::encodelineaddr(w.address) + QLatin1Char(',') +
                w.rate + QLatin1Char(',') + (w.l2tp ? QStringLiteral("1") : QStringLiteral("0")) +
                QLatin1Char(',') + w.type + QStringLiteral(",\n");
        want.push_back(w);
    }
    const std::vector<ps> got =
        LineList::records(IniDocument::parse(sent), QStringLiteral("area"), QString(), lang);
    // Names that differ only in case read the first one's value: keep the check to the
    // lines whose name is their own.
    FUZZ_CHECK(got.size() == want.size(), sent);
    for (std::size_t i = 0; i < want.size(); ++i) {
        bool unique = true;
        for (std::size_t j = 0; j < i; ++j)
            unique = unique && want[j].name.compare(want[i].name, Qt::CaseInsensitive) != 0;
        if (!unique) continue;
        FUZZ_CHECK(got[i].name == want[i].name, sent);
        FUZZ_CHECK(got[i].ip == want[i].address, sent);
        FUZZ_CHECK(got[i].onlinerate == want[i].rate, sent);
        FUZZ_CHECK(got[i].marknum == want[i].type, sent);
        if (lang != 3) FUZZ_CHECK(got[i].l2tpstatus == (want[i].l2tp ? yes : no), sent);
    }
    return 0;
}
