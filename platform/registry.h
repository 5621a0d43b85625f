#pragma once

#include <QString>
#include <optional>
#include <stdexcept>

namespace zenrun {

enum class Hive { CurrentUser, LocalMachine };

// Raised for a write that cannot be stored, a key that cannot be created, or a value
// read with the wrong type. Reads of missing values never raise.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Typed values (string or 32-bit number) under hives and key paths.
// Key paths and value names match without regard to case; a leading backslash is ignored.
class Registry {
public:
    virtual ~Registry() = default;
    virtual bool keyExists(Hive hive, const QString& key) const = 0;
    virtual void createKey(Hive hive, const QString& key) = 0;
    virtual bool valueExists(Hive hive, const QString& key, const QString& name) const = 0;
    // Missing value (or key): nullopt. A number read as a string, or the reverse: RegistryError.
    virtual std::optional<QString> readString(Hive hive, const QString& key,
                                              const QString& name) const = 0;
    virtual std::optional<qint32> readInteger(Hive hive, const QString& key,
                                              const QString& name) const = 0;
    // Writes create the key when it is missing.
    virtual void writeString(Hive hive, const QString& key, const QString& name,
                             const QString& value) = 0;
    virtual void writeInteger(Hive hive, const QString& key, const QString& name,
                              qint32 value) = 0;
    virtual bool deleteValue(Hive hive, const QString& key, const QString& name) = 0;
};

}  // namespace zenrun
