// The INI reader on line and route lists: sections unique without regard to case, every
// key's value the one of its first line, and the document written out again reads back
// the same (nothing of a section or a line leaks into another).
#include "core/inidocument.h"
#include "fuzzcommon.h"

using namespace zenrun;

namespace {
QString rewrite(const IniDocument& doc) {
    QString out;
    for (const QString& section : doc.sections()) {
        out += QLatin1Char('[') + section + QStringLiteral("]\n");
        for (const QString& line : doc.sectionValues(section)) out += line + QLatin1Char('\n');
    }
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = fuzz::replytext(data, size);
    const IniDocument doc = IniDocument::parse(text);
    const QStringList sections = doc.sections();
    FUZZ_CHECK(doc.isEmpty() == sections.isEmpty(), text);
    for (qsizetype i = 0; i < sections.size(); ++i) {
        FUZZ_CHECK(doc.sectionExists(sections[i]), sections[i]);
        for (qsizetype j = 0; j < i; ++j)
            FUZZ_CHECK(sections[i].compare(sections[j], Qt::CaseInsensitive) != 0, sections[i]);
        const QStringList keys = doc.keys(sections[i]);
        const QStringList lines = doc.sectionValues(sections[i]);
        FUZZ_CHECK(keys.size() == lines.size(), sections[i]);
        for (qsizetype k = 0; k < keys.size(); ++k) {
            FUZZ_CHECK(!keys[k].isEmpty() && !keys[k].contains(QLatin1Char('=')), keys[k]);
            FUZZ_CHECK(lines[k].startsWith(keys[k] + QLatin1Char('=')), lines[k]);
            FUZZ_CHECK(doc.valueExists(sections[i], keys[k]), keys[k]);
            // The first line of a name gives its value.
            qsizetype first = k;
            for (qsizetype m = 0; m < k; ++m)
                if (keys[m].compare(keys[k], Qt::CaseInsensitive) == 0) {
                    first = m;
                    break;
                }
            FUZZ_CHECK(doc.value(sections[i], keys[k]) == lines[first].mid(keys[first].size() + 1),
                       lines[k]);
        }
    }

    const IniDocument again = IniDocument::parse(rewrite(doc));
    FUZZ_CHECK(again.sections() == sections, rewrite(doc));
    for (const QString& section : sections)
        FUZZ_CHECK(again.sectionValues(section) == doc.sectionValues(section), section);
    return 0;
}
