#pragma once

#include <QString>
#include <map>
#include <variant>

#include "platform/registry.h"

namespace zenrun {

// Registry kept in memory, each hive optionally backed by a text file in the `.reg`
// export format. A backed hive is read when first used and written after every change
// by an atomic replace (mode 0600), so a crash leaves the old or the new file, never half.
class RegStore : public Registry {
public:
    // Empty paths keep the hive in memory only.
    RegStore(QString userFile = {}, QString machineFile = {});

    bool keyExists(Hive hive, const QString& key) const override;
    void createKey(Hive hive, const QString& key) override;
    bool valueExists(Hive hive, const QString& key, const QString& name) const override;
    std::optional<QString> readString(Hive hive, const QString& key,
                                      const QString& name) const override;
    std::optional<qint32> readInteger(Hive hive, const QString& key,
                                      const QString& name) const override;
    void writeString(Hive hive, const QString& key, const QString& name,
                     const QString& value) override;
    void writeInteger(Hive hive, const QString& key, const QString& name, qint32 value) override;
    bool deleteValue(Hive hive, const QString& key, const QString& name) override;

    // The `.reg` text of one hive and its parser, exposed for tests and tools.
    using Value = std::variant<QString, qint32>;
    struct Entry {
        QString name;  // as first written
        Value value;
    };
    struct Key {
        QString path;                     // as first written
        std::map<QString, Entry> values;  // by lower-case name
    };
    using HiveData = std::map<QString, Key>;  // by lower-case path
    static QString serialize(Hive hive, const HiveData& data);
    static HiveData parse(const QString& text, Hive hive);

private:
    HiveData& hiveData(Hive hive) const;
    const Entry* find(Hive hive, const QString& key, const QString& name) const;
    void store(Hive hive, HiveData next);

    QString files_[2];
    mutable HiveData data_[2];
    mutable bool loaded_[2] = {false, false};
};

}  // namespace zenrun
