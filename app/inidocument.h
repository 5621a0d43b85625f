#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zenrun {

// An INI document held in memory: "[name]" opens a section, "key=value" adds a key.
// Sections and keys keep their order of appearance; names match without regard to case;
// when a key (or a section) appears twice, the first one wins and later keys of a repeated
// section are added to the first. Lines starting with ';' or '#' are comments; blanks around
// names and values are trimmed. Lines outside any section are ignored.
class IniDocument {
public:
    IniDocument() = default;
    static IniDocument parse(const QString& text);

    bool isEmpty() const { return sections_.empty(); }
    QStringList sections() const;
    bool sectionExists(const QString& section) const;
    QStringList keys(const QString& section) const;
    // The name of every key line of a section in file order, repeats included, as a section
    // reader lists them: a list read by position (the route list) keeps one place per line,
    // and value() of a repeated name gives its first occurrence's value.
    QStringList keynames(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& fallback = {}) const;
    // "key=value" lines of a section, in order.
    QStringList sectionValues(const QString& section) const;
    void clear() { sections_.clear(); }

private:
    struct Entry {
        QString key, value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
        QStringList names;  // every key line, repeats included
    };
    const Section* find(const QString& section) const;
    std::vector<Section> sections_;
};

}  // namespace zenrun
