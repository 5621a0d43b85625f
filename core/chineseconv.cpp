#include <QByteArray>
#include <QHash>
#include <cstdio>
#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>

#include "core/textutil.h"

#ifndef ZENRUN_OPENCC_DIR
#define ZENRUN_OPENCC_DIR "/usr/share/opencc"
#endif

namespace zenrun {

namespace {

using CharMap = QHash<char32_t, char32_t>;

// One code point per side and the same number of UTF-16 units, or the entry is useless to a
// conversion that must keep the text's length.
bool singlechar(const QString& s, char32_t& out) {
    if (s.size() == 1 && !s[0].isSurrogate()) {
        out = s[0].unicode();
        return true;
    }
    if (s.size() == 2 && s[0].isHighSurrogate() && s[1].isLowSurrogate()) {
        out = QChar::surrogateToUcs4(s[0], s[1]);
        return true;
    }
    return false;
}

// Reads one of OpenCC's character tables; the first candidate of each entry is the mapping.
// A missing or broken table gives an empty map, so text then passes unchanged.
CharMap loadtable(const char* name) {
    CharMap map;
    const QByteArray path = QByteArray(ZENRUN_OPENCC_DIR) + '/' + name;
    std::FILE* fp = std::fopen(path.constData(), "rb");
    if (!fp) return map;
    try {
        const opencc::MarisaDictPtr dict = opencc::MarisaDict::NewFromFile(fp);
        for (const auto& entry : *dict->GetLexicon()) {
            const std::string key = entry->Key();
            const std::string value = entry->GetDefault();
            const QString k = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
            const QString v = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
            char32_t from = 0;
            char32_t to = 0;
            if (k.size() == v.size() && singlechar(k, from) && singlechar(v, to) && from != to)
                map.insert(from, to);
        }
    } catch (...) {
        map.clear();
    }
    std::fclose(fp);
    return map;
}

// Function-local statics: each table is read once, on first use, safely from any thread.
const CharMap& simplifiedtotraditional() {
    static const CharMap map = loadtable("STCharacters.ocd2");
    return map;
}

const CharMap& traditionaltosimplified() {
    static const CharMap map = loadtable("TSCharacters.ocd2");
    return map;
}

QString mapchars(const QString& text, const CharMap& map) {
    if (map.isEmpty()) return text;
    QString out = text;
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = out[i];
        if (c.isHighSurrogate() && i + 1 < n && out[i + 1].isLowSurrogate()) {
            const auto it = map.constFind(QChar::surrogateToUcs4(c, out[i + 1]));
            if (it != map.constEnd()) {
                // Only pairs map to pairs (see singlechar), so the length stays.
                out[i] = QChar(QChar::highSurrogate(*it));
                out[i + 1] = QChar(QChar::lowSurrogate(*it));
            }
            ++i;
        } else if (!c.isSurrogate()) {
            const auto it = map.constFind(c.unicode());
            if (it != map.constEnd()) out[i] = QChar(static_cast<char16_t>(*it));
        }
    }
    return out;
}

// "zh_CN.UTF-8@variant" → "zh_CN"; "zh-TW" is read like "zh_TW".
QString localename(QString value) {
    for (const QChar stop : {QLatin1Char('.'), QLatin1Char('@')}) {
        const qsizetype cut = value.indexOf(stop);
        if (cut >= 0) value.truncate(cut);
    }
    value.replace(QLatin1Char('-'), QLatin1Char('_'));
    return value;
}

}  // namespace

QString totraditional(const QString& text) {
    return mapchars(text, simplifiedtotraditional());
}

QString tosimplified(const QString& text) {
    return mapchars(text, traditionaltosimplified());
}

int getsyslang() {
    // The language the user's messages come in, in the C library's order of precedence.
    QString value;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        value = qEnvironmentVariable(var);
        if (!value.isEmpty()) break;
    }
    const QString name = localename(value);
    if (name.compare(QLatin1String("zh_CN"), Qt::CaseInsensitive) == 0) return 1;
    if (name.compare(QLatin1String("zh_TW"), Qt::CaseInsensitive) == 0) return 2;
    if (name.compare(QLatin1String("en_US"), Qt::CaseInsensitive) == 0) return 0;
    return 3;
}

}  // namespace zenrun
