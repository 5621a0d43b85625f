#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace zenrun {

// An INI document held in memory: "[name]" opens a section, "key=value" adds a key.
// Sections and keys keep their order of appearance; names match without regard to case.
// A repeated key keeps its place in keys() (a list walks every line), but its value is the
// first one's; the keys of a repeated section are added to the first. Lines starting with ';' are
// comments (a line name may start with '#'); blanks around names and values are trimmed. Lines
// outside any section are ignored.
class IniDocument {
public:
    IniDocument() = default;
    static IniDocument parse(const QString& text);

    bool isEmpty() const { return sections_.empty(); }
    QStringList sections() const;
    bool sectionExists(const QString& section) const;
    QStringList keys(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& fallback = {}) const;
    // "key=value" lines of a section, in order.
    QStringList sectionValues(const QString& section) const;
    void clear() {
        sections_.clear();
        index_.clear();
    }

private:
    struct Entry {
        QString key, value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };
    const Section* find(const QString& section) const;
    std::vector<Section> sections_;
    // Position of each section by its case-folded name: a reply of many thousand sections
    // must not cost a comparison with every earlier one per line.
    QHash<QString, std::size_t> index_;
};

}  // namespace zenrun
