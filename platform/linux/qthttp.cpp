#include "platform/linux/qthttp.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace zenrun {

QtHttp::QtHttp(QByteArray codePage, int wholeRequestFactor)
    : codePage_(std::move(codePage)), wholeRequestFactor_(std::max(wholeRequestFactor, 1)) {
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
    return run(url, nullptr, readTimeoutMs, userAgent);
}

HttpReply QtHttp::post(const QString& url, const FormFields& form, int readTimeoutMs,
                       const QString& userAgent) {
    const QByteArray body = encodeForm(form);
    return run(url, &body, readTimeoutMs, userAgent);
}

HttpReply QtHttp::run(const QString& url, const QByteArray* body, int readTimeoutMs,
                      const QString& userAgent) {
    HttpReply result;
    const QUrl qurl(url);
    const QString scheme = qurl.scheme().toLower();
    if (!qurl.isValid() || qurl.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        result.error = QStringLiteral("invalid URL");
        return result;
    }
    QNetworkRequest req(qurl);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                     QNetworkRequest::NoLessSafeRedirectPolicy);
    req.setMaximumRedirectsAllowed(10);
    if (!userAgent.isEmpty()) req.setHeader(QNetworkRequest::UserAgentHeader, userAgent);
    // Uncompressed replies: a decompressor may hold bytes back, and the read time-out must
    // see every byte that arrives. The back-end's replies are short texts anyway.
    req.setRawHeader("Accept-Encoding", "identity");

    // Deleted on return: by then it has finished and no signal of it is running, and a caller
    // without an outer event loop would otherwise collect deferred deletes.
    std::unique_ptr<QNetworkReply> reply;
    if (body) {
        req.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
        reply.reset(nam_.post(req, *body));
    } else {
        reply.reset(nam_.get(req));
    }
    // Qt hands the read buffer size to its network thread only once that thread has taken
    // the request on. A GET is handed over inside get(), so setting it now is in time; a POST
    // is handed over from the event loop a moment later, and a size set before that is lost
    // (a flood was then read whole, 100 MB and more). Setting it once more from the event
    // loop, after Qt's own start, covers both.
    reply->setReadBufferSize(kReadBufferBytes);
    QMetaObject::invokeMethod(
        reply.get(), [r = reply.get()] { r->setReadBufferSize(kReadBufferBytes); },
        Qt::QueuedConnection);

    // The read time-out is one of inactivity: it covers connecting and every wait for the
    // next bytes, and restarts whenever anything arrives or leaves.
    QEventLoop loop;
    // Precise: a coarse timer may fire up to 5 % early, and a time-out is a promise to wait
    // at least that long.
    QTimer idle;
    idle.setTimerType(Qt::PreciseTimer);
    idle.setSingleShot(true);
    idle.setInterval(std::max(readTimeoutMs, 1));
    bool timedOut = false;
    QNetworkReply* r = reply.get();
    QObject::connect(&idle, &QTimer::timeout, &loop, [&timedOut, r] {
        timedOut = true;
        r->abort();
    });
    // A steady trickle keeps restarting the read time-out; this one does not restart.
    QTimer whole;
    whole.setTimerType(Qt::PreciseTimer);
    whole.setSingleShot(true);
    whole.setInterval(std::max(readTimeoutMs, 1) * wholeRequestFactor_);
    bool tooLong = false;
    QObject::connect(&whole, &QTimer::timeout, &loop, [&tooLong, r] {
        tooLong = true;
        r->abort();
    });
    // The body is taken out of Qt's small read buffer as it comes, so that Qt stops reading
    // from the connection while we are behind, and nothing beyond the cap is ever held; a
    // declared length beyond it ends the request at once.
    QByteArray bytes;
    bool tooLarge = false;
    const auto toolarge = [&tooLarge, r] {
        tooLarge = true;
        r->abort();
    };
    QObject::connect(r, &QNetworkReply::readyRead, &loop, [&bytes, &tooLarge, r, toolarge] {
        if (tooLarge) return;
        if (bytes.size() + r->bytesAvailable() > kMaxReplyBytes) return toolarge();
        bytes += r->readAll();
    });
    QObject::connect(r, &QNetworkReply::downloadProgress, &loop,
                     [&tooLarge, toolarge](qint64, qint64 total) {
                         if (!tooLarge && total > kMaxReplyBytes) toolarge();
                     });
    const auto restart = [&idle] { idle.start(); };
    QObject::connect(r, &QNetworkReply::metaDataChanged, &idle, restart);
    QObject::connect(r, &QNetworkReply::readyRead, &idle, restart);
    QObject::connect(r, &QNetworkReply::downloadProgress, &idle, restart);
    QObject::connect(r, &QNetworkReply::uploadProgress, &idle, restart);
    QObject::connect(r, &QNetworkReply::redirected, &idle, restart);
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    idle.start();
    whole.start();
    // Paint and timer events go on; clicks and keys wait until the call returns, so the
    // calling handler is not re-entered by the user.
    if (!r->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    idle.stop();
    whole.stop();

    result.status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (tooLarge) {
        result.error = QStringLiteral("reply too large");
    } else if (tooLong) {
        result.error = QStringLiteral("request took too long");
    } else if (timedOut) {
        result.error = QStringLiteral("read time-out");
    } else if (r->error() != QNetworkReply::NoError) {
        result.error = r->errorString();
    } else if (result.status < 200 || result.status >= 300) {
        result.error = QStringLiteral("HTTP status %1").arg(result.status);
    } else if (bytes.size() + r->bytesAvailable() > kMaxReplyBytes) {
        result.error = QStringLiteral("reply too large");
    } else {
        bytes += r->readAll();
        QStringDecoder dec(codePage_.constData());
        result.body = dec.isValid() ? dec.decode(bytes) : QString::fromLatin1(bytes);
        result.ok = true;
    }
    return result;
}

}  // namespace zenrun
