#include "platform/regstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

#include "platform/savetemps.h"

namespace zenrun {

namespace {

int idx(Hive h) {
    return h == Hive::CurrentUser ? 0 : 1;
}

QString hiveRoot(Hive h) {
    return h == Hive::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER")
                                  : QStringLiteral("HKEY_LOCAL_MACHINE");
}

QString normPath(QString key) {
    key.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (key.startsWith(QLatin1Char('\\'))) key.remove(0, 1);
    while (key.endsWith(QLatin1Char('\\'))) key.chop(1);
    return key;
}

// A key path is written as the bracketed header line of its section, which has no escapes:
// a line break in it would cut the header and let the rest pose as a section or a value of
// its own, so such a key is refused rather than stored.
QString writablePath(const QString& key) {
    const QString p = normPath(key);
    if (p.contains(QLatin1Char('\n')) || p.contains(QLatin1Char('\r')))
        throw RegistryError("a key path cannot hold a line break");
    return p;
}

QString escape(const QString& s) {
    QString out;
    out.reserve(s.size() + 2);
    for (const QChar c : s) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('"'))
            out += QLatin1String("\\\"");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

// Reads a quoted string starting at s[pos] == '"'; returns the end position past the quote
// or -1 when the quote is not closed.
qsizetype readQuoted(const QString& s, qsizetype pos, QString& out) {
    out.clear();
    for (qsizetype i = pos + 1; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('"')) return i + 1;
        if (c == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar n = s[++i];
            if (n == QLatin1Char('n'))
                out += QLatin1Char('\n');
            else if (n == QLatin1Char('r'))
                out += QLatin1Char('\r');
            else
                out += n;
        } else {
            out += c;
        }
    }
    return -1;
}

}  // namespace

RegStore::RegStore(QString userFile, QString machineFile)
    : files_{std::move(userFile), std::move(machineFile)} {}

RegStore::HiveData& RegStore::hiveData(Hive hive) const {
    const int i = idx(hive);
    if (!loaded_[i]) {
        loaded_[i] = true;
        if (!files_[i].isEmpty()) {
            removeStaleSaveTemps(files_[i]);
            QFile f(files_[i]);
            if (f.open(QIODevice::ReadOnly)) data_[i] = parse(QString::fromUtf8(f.readAll()), hive);
        }
    }
    return data_[i];
}

const RegStore::Entry* RegStore::find(Hive hive, const QString& key, const QString& name) const {
    const HiveData& d = hiveData(hive);
    const auto k = d.find(normPath(key).toLower());
    if (k == d.end()) return nullptr;
    const auto v = k->second.values.find(name.toLower());
    return v == k->second.values.end() ? nullptr : &v->second;
}

bool RegStore::keyExists(Hive hive, const QString& key) const {
    const QString p = normPath(key).toLower();
    return p.isEmpty() || hiveData(hive).count(p) > 0;
}

void RegStore::createKey(Hive hive, const QString& key) {
    const QString p = writablePath(key);
    if (p.isEmpty() || keyExists(hive, p)) return;
    HiveData next = hiveData(hive);
    next[p.toLower()].path = p;
    store(hive, std::move(next));
}

bool RegStore::valueExists(Hive hive, const QString& key, const QString& name) const {
    return find(hive, key, name) != nullptr;
}

std::optional<QString> RegStore::readString(Hive hive, const QString& key,
                                            const QString& name) const {
    const Entry* e = find(hive, key, name);
    if (!e) return std::nullopt;
    if (const auto* s = std::get_if<QString>(&e->value)) return *s;
    throw RegistryError("value \"" + name.toStdString() + "\" is a number, not a string");
}

std::optional<qint32> RegStore::readInteger(Hive hive, const QString& key,
                                            const QString& name) const {
    const Entry* e = find(hive, key, name);
    if (!e) return std::nullopt;
    if (const auto* n = std::get_if<qint32>(&e->value)) return *n;
    throw RegistryError("value \"" + name.toStdString() + "\" is a string, not a number");
}

void RegStore::writeString(Hive hive, const QString& key, const QString& name,
                           const QString& value) {
    const QString p = writablePath(key);
    HiveData next = hiveData(hive);
    Key& k = next[p.toLower()];
    if (k.path.isEmpty()) k.path = p;
    Entry& e = k.values[name.toLower()];
    if (e.name.isEmpty()) e.name = name;
    e.value = value;
    store(hive, std::move(next));
}

void RegStore::writeInteger(Hive hive, const QString& key, const QString& name, qint32 value) {
    const QString p = writablePath(key);
    HiveData next = hiveData(hive);
    Key& k = next[p.toLower()];
    if (k.path.isEmpty()) k.path = p;
    Entry& e = k.values[name.toLower()];
    if (e.name.isEmpty()) e.name = name;
    e.value = value;
    store(hive, std::move(next));
}

bool RegStore::deleteValue(Hive hive, const QString& key, const QString& name) {
    if (!find(hive, key, name)) return false;
    HiveData next = hiveData(hive);
    next[normPath(key).toLower()].values.erase(name.toLower());
    store(hive, std::move(next));
    return true;
}

// The change goes to memory only once the file holds it, so a failed write changes nothing.
void RegStore::store(Hive hive, HiveData next) {
    const int i = idx(hive);
    if (!files_[i].isEmpty()) {
        const QFileInfo info(files_[i]);
        if (!QDir().mkpath(info.absolutePath()))
            throw RegistryError("cannot create " + info.absolutePath().toStdString());
        QSaveFile f(files_[i]);
        if (!f.open(QIODevice::WriteOnly))
            throw RegistryError("cannot write " + files_[i].toStdString());
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        f.write(serialize(hive, next).toUtf8());
        if (!f.commit()) throw RegistryError("cannot write " + files_[i].toStdString());
    }
    data_[i] = std::move(next);
}

QString RegStore::serialize(Hive hive, const HiveData& data) {
    QString out = QStringLiteral("Windows Registry Editor Version 5.00\n");
    for (const auto& [lower, key] : data) {
        out += QStringLiteral("\n[%1\\%2]\n").arg(hiveRoot(hive), key.path);
        for (const auto& [lname, e] : key.values) {
            const QString n = e.name.isEmpty()
                                  ? QStringLiteral("@")
                                  : QLatin1Char('"') + escape(e.name) + QLatin1Char('"');
            if (const auto* s = std::get_if<QString>(&e.value))
                out += n + QStringLiteral("=\"") + escape(*s) + QStringLiteral("\"\n");
            else
                out += n + QStringLiteral("=dword:") +
                       QStringLiteral("%1").arg(static_cast<quint32>(std::get<qint32>(e.value)), 8,
                                                16, QLatin1Char('0')) +
                       QLatin1Char('\n');
        }
    }
    return out;
}

RegStore::HiveData RegStore::parse(const QString& text, Hive hive) {
    HiveData data;
    Key* current = nullptr;
    const QString prefix = hiveRoot(hive) + QLatin1Char('\\');
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.startsWith(QLatin1Char('['))) {
            current = nullptr;
            if (!line.endsWith(QLatin1Char(']'))) continue;
            QString path = line.mid(1, line.size() - 2);
            if (!path.startsWith(prefix, Qt::CaseInsensitive)) continue;
            path = normPath(path.mid(prefix.size()));
            current = &data[path.toLower()];
            if (current->path.isEmpty()) current->path = path;
            continue;
        }
        if (!current || line.isEmpty()) continue;
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (line.startsWith(QLatin1Char('"'))) {
            pos = readQuoted(line, 0, name);
            if (pos < 0) continue;
        } else {
            continue;
        }
        if (pos >= line.size() || line[pos] != QLatin1Char('=')) continue;
        const QString rest = line.mid(pos + 1);
        Entry e{name, QString()};
        if (rest.startsWith(QLatin1Char('"'))) {
            QString v;
            if (readQuoted(rest, 0, v) < 0) continue;
            e.value = v;
        } else if (rest.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            bool ok = false;
            const quint32 n = rest.mid(6).toUInt(&ok, 16);
            if (!ok) continue;
            e.value = static_cast<qint32>(n);
        } else {
            continue;
        }
        current->values.emplace(name.toLower(), std::move(e));
    }
    return data;
}

}  // namespace zenrun
