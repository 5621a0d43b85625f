#include "core/inidocument.h"

#include <QRegularExpression>

namespace zenrun {

IniDocument IniDocument::parse(const QString& text) {
    IniDocument doc;
    Section* current = nullptr;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            const QString folded = name.toCaseFolded();
            auto at = doc.index_.constFind(folded);
            if (at == doc.index_.constEnd()) {
                at = doc.index_.insert(folded, doc.sections_.size());
                doc.sections_.push_back({name, {}});
            }
            current = &doc.sections_[at.value()];
            continue;
        }
        if (!current) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = (eq < 0 ? line : line.left(eq)).trimmed();
        const QString value = eq < 0 ? QString() : line.mid(eq + 1).trimmed();
        if (key.isEmpty()) continue;
        current->entries.push_back({key, value});
    }
    return doc;
}

const IniDocument::Section* IniDocument::find(const QString& section) const {
    const auto at = index_.constFind(section.toCaseFolded());
    return at == index_.constEnd() ? nullptr : &sections_[at.value()];
}

QStringList IniDocument::sections() const {
    QStringList out;
    for (const Section& s : sections_) out.append(s.name);
    return out;
}

bool IniDocument::sectionExists(const QString& section) const {
    return find(section) != nullptr;
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList out;
    if (const Section* s = find(section))
        for (const Entry& e : s->entries) out.append(e.key);
    return out;
}

bool IniDocument::valueExists(const QString& section, const QString& key) const {
    if (const Section* s = find(section))
        for (const Entry& e : s->entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString IniDocument::value(const QString& section, const QString& key,
                           const QString& fallback) const {
    if (const Section* s = find(section))
        for (const Entry& e : s->entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0) return e.value;
    return fallback;
}

QStringList IniDocument::sectionValues(const QString& section) const {
    QStringList out;
    if (const Section* s = find(section))
        for (const Entry& e : s->entries) out.append(e.key + QLatin1Char('=') + e.value);
    return out;
}

}  // namespace zenrun
