#include "backendfixture.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QUrl>

#include "platform/linux/qthttp.h"

namespace zenrun::testing {

namespace {
constexpr int kStartMs = 15000;
}

BackendFixture::BackendFixture() : BackendFixture(Options{}) {}

BackendFixture::BackendFixture(const Options& options) {
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return;
    }
    const QString dataFile = dir_.filePath(QStringLiteral("data.json"));
    QFile f(dataFile);
    const QJsonObject data = options.data.isEmpty() ? demoData() : options.data;
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(data).toJson()) < 0) {
        error_ = QStringLiteral("cannot write ") + dataFile;
        return;
    }
    f.close();

    QStringList args{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                     QStringLiteral("--data"),   dataFile,
                     QStringLiteral("--db"),     dbFile()};
    for (const QString& fault : options.faults) args << QStringLiteral("--fault") << fault;

    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::SeparateChannels);
    process_->start(QStringLiteral(ZENRUN_BACKEND_EXE), args);
    if (!process_->waitForStarted(kStartMs)) {
        error_ = QStringLiteral("zenrun-backend did not start: ") + process_->errorString();
        return;
    }
    // The server names its port once it accepts connections.
    const QByteArray prefix = "zenrun-backend: listening on ";
    QDeadlineTimer deadline(kStartMs);
    QByteArray out;
    while (!deadline.hasExpired() && process_->state() == QProcess::Running) {
        if (!process_->canReadLine() && !process_->waitForReadyRead(100)) continue;
        while (process_->canReadLine()) {
            const QByteArray line = process_->readLine().trimmed();
            if (line.startsWith(prefix)) {
                host_ = QString::fromLatin1(line.mid(prefix.size()));
                break;
            }
            out += line + '\n';
        }
        if (!host_.isEmpty()) break;
    }
    if (host_.isEmpty()) {
        error_ = QStringLiteral("zenrun-backend gave no address: ") +
                 QString::fromLocal8Bit(out + process_->readAllStandardError());
        stop();
        return;
    }
    if (control(QStringLiteral("ready")) != "ready") {
        error_ = QStringLiteral("zenrun-backend does not answer on ") + host_;
        stop();
        host_.clear();
    }
}

BackendFixture::~BackendFixture() {
    stop();
}

void BackendFixture::stop() {
    if (!process_ || process_->state() == QProcess::NotRunning) return;
    process_->terminate();
    if (!process_->waitForFinished(10000)) {
        process_->kill();
        process_->waitForFinished(5000);
    }
}

QString BackendFixture::url(const QString& path) const {
    return QStringLiteral("http://") + host_ + path;
}

Hosts BackendFixture::hosts() const {
    Hosts h;
    h.primary = h.secondary = h.clientPages = h.accountSite = h.siblingAccount = h.siblingPages =
        h.helpSite = host_;
    h.customerService = url(QStringLiteral("/kivclient11/service.htm"));
    return h;
}

QByteArray BackendFixture::control(const QString& pathAndQuery) {
    QtHttp http("UTF-8");
    const HttpReply r = http.get(url(QStringLiteral("/_control/") + pathAndQuery), 10000, {});
    return r.ok ? r.body.toUtf8() : QByteArray();
}

bool BackendFixture::setFault(const QString& path, const QString& spec) {
    return control(QStringLiteral("fault?path=") +
                   QString::fromLatin1(QUrl::toPercentEncoding(path)) + QStringLiteral("&fault=") +
                   QString::fromLatin1(QUrl::toPercentEncoding(spec))) == "ok";
}

bool BackendFixture::clearFaults() {
    return control(QStringLiteral("clear")) == "ok";
}

QStringList BackendFixture::grants() {
    return QString::fromUtf8(control(QStringLiteral("grants")))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString BackendFixture::dbFile() const {
    return dir_.filePath(QStringLiteral("state.db"));
}

QJsonObject BackendFixture::demoData() {
    QFile f(QStringLiteral(ZENRUN_DEMO_DATA));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

}  // namespace zenrun::testing
