#include "platform/linux/qthttp.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTimer>

namespace zenrun {

QtHttp::QtHttp(QByteArray codePage) : codePage_(std::move(codePage)) {
    // The client talks plain HTTP to its own hosts; a system proxy must not get in between.
    nam_.setProxy(QNetworkProxy::NoProxy);
}

QByteArray QtHttp::encode(const QString& text) const {
    QStringEncoder enc(codePage_.constData());
    if (!enc.isValid()) return text.toUtf8();
    return enc.encode(text);
}

QByteArray QtHttp::encodeForm(const FormFields& form) const {
    QByteArray body;
    for (const auto& [key, value] : form) {
        if (!body.isEmpty()) body += '&';
        body += encode(key).toPercentEncoding() + '=' + encode(value).toPercentEncoding();
    }
    return body;
}

HttpReply QtHttp::get(const QString& url, int readTimeoutMs, const QString& userAgent) {
    return run(QStringLiteral("GET"), url, nullptr, readTimeoutMs, userAgent);
}

HttpReply QtHttp::post(const QString& url, const FormFields& form, int readTimeoutMs,
                       const QString& userAgent) {
    const QByteArray body = encodeForm(form);
    return run(QStringLiteral("POST"), url, &body, readTimeoutMs, userAgent);
}

HttpReply QtHttp::run(const QString& method, const QString& url, const QByteArray* body,
                      int readTimeoutMs, const QString& userAgent) {
    HttpReply result;
    const QUrl qurl(url, QUrl::StrictMode);
    if (!qurl.isValid() || qurl.scheme() != QLatin1String("http")) {
        result.error = QStringLiteral("invalid URL");
        return result;
    }
    QNetworkRequest req(qurl);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                     QNetworkRequest::NoLessSafeRedirectPolicy);
    req.setMaximumRedirectsAllowed(10);
    if (!userAgent.isEmpty()) req.setHeader(QNetworkRequest::UserAgentHeader, userAgent);

    QNetworkReply* reply = nullptr;
    if (body) {
        req.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
        reply = nam_.post(req, *body);
    } else {
        reply = nam_.get(req);
    }
    Q_UNUSED(method);

    QEventLoop loop;
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(std::max(readTimeoutMs, 1));
    bool timedOut = false;
    QObject::connect(&idle, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    // Any progress restarts the read time-out.
    QObject::connect(reply, &QNetworkReply::readyRead, &idle, qOverload<>(&QTimer::start));
    QObject::connect(reply, &QNetworkReply::uploadProgress, &idle, qOverload<>(&QTimer::start));
    QObject::connect(reply, &QNetworkReply::redirected, &idle, qOverload<>(&QTimer::start));
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    idle.start();
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    idle.stop();

    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray bytes = reply->readAll();
    if (timedOut) {
        result.error = QStringLiteral("read time-out");
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = reply->errorString();
    } else if (result.status < 200 || result.status >= 300) {
        result.error = QStringLiteral("HTTP status %1").arg(result.status);
    } else {
        QStringDecoder dec(codePage_.constData());
        result.body = dec.isValid() ? dec.decode(bytes) : QString::fromLatin1(bytes);
        result.ok = true;
    }
    reply->deleteLater();
    return result;
}

}  // namespace zenrun
