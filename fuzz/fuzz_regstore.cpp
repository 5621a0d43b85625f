// The registry store's .reg reader: whatever a file holds, reading what was written from it
// gives the same keys and values; and any keys and values written come back exactly,
// through the file's UTF-8 as well.
#include "fuzzcommon.h"
#include "platform/regstore.h"

using namespace zenrun;

namespace {
bool same(const RegStore::HiveData& a, const RegStore::HiveData& b) {
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        if (i->first != j->first || i->second.path != j->second.path ||
            i->second.values.size() != j->second.values.size())
            return false;
        for (auto v = i->second.values.begin(), w = j->second.values.begin();
             v != i->second.values.end(); ++v, ++w)
            if (v->first != w->first || v->second.name != w->second.name ||
                v->second.value != w->second.value)
                return false;
    }
    return true;
}

QString normpath(QString key) {
    key.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (key.startsWith(QLatin1Char('\\'))) key.remove(0, 1);
    while (key.endsWith(QLatin1Char('\\'))) key.chop(1);
    return key;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const Hive hive = in.ConsumeBool() ? Hive::CurrentUser : Hive::LocalMachine;
    const QString file = fuzz::utf8text(in.ConsumeRandomLengthString(4096));
    const RegStore::HiveData read = RegStore::parse(file, hive);
    const QString written = RegStore::serialize(hive, read);
    FUZZ_CHECK(same(RegStore::parse(written, hive), read), written);

    // Values as the client writes them: any key path, name and text.
    RegStore::HiveData wanted;
    while (in.remaining_bytes() > 0) {
        // The store refuses key paths with line breaks (the file's headers cannot hold them).
        QString path = fuzz::utf8text(in.ConsumeRandomLengthString(24));
        path.remove(QLatin1Char('\n'));
        path.remove(QLatin1Char('\r'));
        path = normpath(path);
        const QString name = fuzz::utf8text(in.ConsumeRandomLengthString(12));
        RegStore::Key& key = wanted[path.toLower()];
        if (key.path.isEmpty()) key.path = path;
        RegStore::Entry& e = key.values[name.toLower()];
        if (e.name.isEmpty()) e.name = name;
        if (in.ConsumeBool())
            e.value = in.ConsumeIntegral<qint32>();
        else
            e.value = fuzz::utf8text(in.ConsumeRandomLengthString(32));
    }
    const QByteArray bytes = RegStore::serialize(hive, wanted).toUtf8();
    FUZZ_CHECK(same(RegStore::parse(QString::fromUtf8(bytes), hive), wanted),
               QString::fromUtf8(bytes));
    return 0;
}
