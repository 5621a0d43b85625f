#include "platform/linux/resolvconfdns.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace zenrun {

const QString ResolvConfDns::kMarker = QStringLiteral("# Written by Zenrun");

namespace {

std::optional<QByteArray> readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return f.readAll();
}

QStringList serversIn(const QByteArray& text) {
    QStringList out;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).simplified();
        if (!line.startsWith(QLatin1String("nameserver "))) continue;
        const QString addr = line.section(QLatin1Char(' '), 1, 1);
        if (isdnsaddress(addr)) out << addr;
    }
    return out;
}

// Written beside the target and renamed over it, so a reader sees the old file or the new
// one; a symbolic link at `path` is replaced, not followed into a file another service owns.
void replaceFile(const QString& path, const QByteArray& content) {
    const QString tmp = path + QStringLiteral(".zenrun-tmp");
    QFile f(tmp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size() ||
        !f.flush() || ::fsync(f.handle()) != 0) {
        f.remove();
        throw DnsError("cannot write " + path.toStdString());
    }
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                     QFileDevice::ReadOther);
    if (::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData()) != 0) {
        f.remove();
        throw DnsError("cannot replace " + path.toStdString());
    }
}

QString linkSuffix() {
    return QStringLiteral(".link");
}

}  // namespace

ResolvConfDns::ResolvConfDns(Lister lister, QString path, QString copyPath)
    : lister_(std::move(lister)), path_(std::move(path)), copyPath_(std::move(copyPath)) {}

bool ResolvConfDns::ours() const {
    const auto text = readAll(path_);
    return text && text->startsWith(kMarker.toUtf8());
}

QStringList ResolvConfDns::nameServers(const QString&) {
    if (!ours()) return {};
    return serversIn(*readAll(path_));
}

QStringList ResolvConfDns::leaseNameServers(const QString&) {
    if (const auto copy = readAll(copyPath_)) return serversIn(*copy);
    if (ours()) return {};
    const auto text = readAll(path_);
    return text ? serversIn(*text) : QStringList{};
}

// The copy is taken once: a file already written by us is never mistaken for the original.
void ResolvConfDns::keepCopy() {
    if (QFileInfo::exists(copyPath_)) return;
    QDir().mkpath(QFileInfo(copyPath_).absolutePath());
    const QFileInfo info(path_);
    const auto text = readAll(path_);
    replaceFile(copyPath_, text.value_or(QByteArray()));
    QFile::remove(copyPath_ + linkSuffix());
    if (info.isSymLink()) replaceFile(copyPath_ + linkSuffix(), info.symLinkTarget().toUtf8());
}

void ResolvConfDns::putCopyBack() {
    const auto copy = readAll(copyPath_);
    if (!copy) {
        if (ours()) throw DnsError("the earlier resolver file is lost");
        return;  // never changed: already the original
    }
    if (const auto target = readAll(copyPath_ + linkSuffix())) {
        const QString tmp = path_ + QStringLiteral(".zenrun-link");
        QFile::remove(tmp);
        if (!QFile::link(QString::fromUtf8(*target), tmp) ||
            ::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path_).constData()) != 0)
            throw DnsError("cannot restore the link " + path_.toStdString());
        QFile::remove(copyPath_ + linkSuffix());
    } else {
        replaceFile(path_, *copy);
    }
    QFile::remove(copyPath_);
}

void ResolvConfDns::setNameServers(const QString&, const QStringList& servers) {
    checkdnsaddresses(servers);
    if (servers.isEmpty()) {
        putCopyBack();
        return;
    }
    keepCopy();
    // Search domains and options of the original still apply; only the servers change.
    QByteArray out =
        kMarker.toUtf8() + "; the earlier file is kept in " + QFile::encodeName(copyPath_) + "\n";
    for (const QString& s : servers) out += "nameserver " + s.toLatin1() + '\n';
    for (const QByteArray& raw : readAll(copyPath_).value_or(QByteArray()).split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#') || line.startsWith(';') ||
            line.startsWith("nameserver"))
            continue;
        out += line + '\n';
    }
    replaceFile(path_, out);
}

}  // namespace zenrun
