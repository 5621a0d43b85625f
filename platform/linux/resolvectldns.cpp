#include "platform/linux/resolvectldns.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace zenrun {

namespace {
constexpr int kTimeoutMs = 10000;

// An interface name as the kernel allows it; anything else could pass as an option.
void checkInterface(const QString& name) {
    static const QRegularExpression ok(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.:@-]{0,14}$"));
    if (!ok.match(name).hasMatch()) throw DnsError("not an interface name");
}
}  // namespace

ResolvectlDns::ResolvectlDns(Lister lister, QString program)
    : lister_(std::move(lister)), program_(std::move(program)) {}

bool ResolvectlDns::running() {
    return QFileInfo::exists(QStringLiteral("/run/systemd/resolve/io.systemd.Resolve"));
}

QString ResolvectlDns::run(const QStringList& args) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("SYSTEMD_COLORS"), QStringLiteral("0"));
    p.setProcessEnvironment(env);
    p.start(program_, QStringList{QStringLiteral("--no-pager")} + args);
    if (!p.waitForFinished(kTimeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        throw DnsError("resolvectl did not answer");
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw DnsError("resolvectl " + args.join(QLatin1Char(' ')).toStdString() + " failed");
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList ResolvectlDns::nameServers(const QString& adapter) {
    checkInterface(adapter);
    // "Link 7 (ppp0): 8.8.8.8 8.8.4.4"
    const QString out = run({QStringLiteral("dns"), adapter});
    QStringList servers;
    const QString list = out.section(QStringLiteral("):"), 1);
    for (const QString& item :
         list.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        if (isdnsaddress(item)) servers << item;
    return servers;
}

void ResolvectlDns::setNameServers(const QString& adapter, const QStringList& servers) {
    checkdnsaddresses(servers);
    checkInterface(adapter);
    if (servers.isEmpty()) {
        run({QStringLiteral("revert"), adapter});
        return;
    }
    run(QStringList{QStringLiteral("dns"), adapter} + servers);
    run({QStringLiteral("domain"), adapter, QStringLiteral("~.")});
}

}  // namespace zenrun
