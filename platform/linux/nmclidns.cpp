#include "platform/linux/nmclidns.h"

#include <QProcess>
#include <QRegularExpression>

namespace zenrun {

namespace {
constexpr int kTimeoutMs = 10000;

QString runProgram(const QString& program, const QStringList& args, bool* ok) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    const bool done = p.waitForFinished(kTimeoutMs);
    if (!done) p.kill(), p.waitForFinished(1000);
    *ok = done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// An interface name as the kernel allows it; anything else could pass as an option.
void checkInterface(const QString& name) {
    static const QRegularExpression ok(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.:@-]{0,14}$"));
    if (!ok.match(name).hasMatch()) throw DnsError("not an interface name");
}

QStringList quadsIn(const QString& text) {
    QStringList out;
    for (const QString& item :
         text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts))
        if (isdnsaddress(item)) out << item;
    return out;
}
}  // namespace

NmcliDns::NmcliDns(Lister lister, std::unique_ptr<AdapterDns> unowned, QString program)
    : lister_(std::move(lister)), unowned_(std::move(unowned)), program_(std::move(program)) {}

bool NmcliDns::running(const QString& program) {
    bool ok = false;
    const QString out = runProgram(program,
                                   {QStringLiteral("-t"), QStringLiteral("-f"),
                                    QStringLiteral("RUNNING"), QStringLiteral("general")},
                                   &ok);
    return ok && out.trimmed() == QLatin1String("running");
}

QString NmcliDns::run(const QStringList& args) const {
    bool ok = false;
    const QString out = runProgram(program_, args, &ok);
    if (!ok) throw DnsError("nmcli " + args.join(QLatin1Char(' ')).toStdString() + " failed");
    return out;
}

QString NmcliDns::connectionOf(const QString& adapter) const {
    checkInterface(adapter);
    const QString out =
        run({QStringLiteral("-t"), QStringLiteral("-f"), QStringLiteral("DEVICE,UUID"),
             QStringLiteral("connection"), QStringLiteral("show"), QStringLiteral("--active")});
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        // Terse output escapes a ':' inside a value; interface names and UUIDs hold none.
        const QStringList f = line.split(QLatin1Char(':'));
        if (f.size() != 2 || f[0] != adapter) continue;
        static const QRegularExpression uuid(QStringLiteral("^[0-9A-Fa-f-]{36}$"));
        if (!uuid.match(f[1].trimmed()).hasMatch()) throw DnsError("unexpected connection id");
        return f[1].trimmed();
    }
    return {};
}

QStringList NmcliDns::nameServers(const QString& adapter) {
    const QString uuid = connectionOf(adapter);
    if (uuid.isEmpty()) return unowned_->nameServers(adapter);
    return quadsIn(
        run({QStringLiteral("-g"), QStringLiteral("ipv4.dns"), QStringLiteral("connection"),
             QStringLiteral("show"), QStringLiteral("uuid"), uuid}));
}

QStringList NmcliDns::leaseNameServers(const QString& adapter) {
    const QString uuid = connectionOf(adapter);
    if (uuid.isEmpty()) return unowned_->leaseNameServers(adapter);
    const QString out =
        run({QStringLiteral("-t"), QStringLiteral("-f"), QStringLiteral("DHCP4.OPTION"),
             QStringLiteral("device"), QStringLiteral("show"), adapter});
    // "DHCP4.OPTION[3]:domain_name_servers = 192.168.1.1 192.168.1.2"
    for (const QString& line : out.split(QRegularExpression(QStringLiteral("[\\n|]")))) {
        const int at = line.indexOf(QLatin1String("domain_name_servers"));
        if (at < 0) continue;
        const int eq = line.indexOf(QLatin1Char('='), at);
        if (eq >= 0) return quadsIn(line.mid(eq + 1));
    }
    return {};
}

void NmcliDns::setNameServers(const QString& adapter, const QStringList& servers) {
    checkdnsaddresses(servers);
    const QString uuid = connectionOf(adapter);
    if (uuid.isEmpty()) {
        unowned_->setNameServers(adapter, servers);
        return;
    }
    run({QStringLiteral("connection"), QStringLiteral("modify"), QStringLiteral("uuid"), uuid,
         QStringLiteral("ipv4.dns"), servers.join(QLatin1Char(',')),
         QStringLiteral("ipv4.ignore-auto-dns"),
         servers.isEmpty() ? QStringLiteral("no") : QStringLiteral("yes")});
    // The setting is stored; a device that cannot take it now gets it at its next connect.
    try {
        run({QStringLiteral("device"), QStringLiteral("reapply"), adapter});
    } catch (const DnsError&) {
    }
}

}  // namespace zenrun
