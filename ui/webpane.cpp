#include "ui/webpane.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QStringDecoder>

namespace zenrun {

WebPane::WebPane(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setFrameShape(QFrame::NoFrame);
}

void WebPane::navigate(const QString& url) {
    url_ = url;
    if (!fetch_) return;
    if (!nam_) {
        nam_ = new QNetworkAccessManager(this);
        nam_->setProxy(QNetworkProxy::NoProxy);
    }
    if (pending_) pending_->abort();
    QNetworkRequest req{QUrl(url)};
    req.setTransferTimeout(30000);
    QNetworkReply* reply = nam_->get(req);
    pending_ = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply != pending_) return;
        if (reply->error() != QNetworkReply::NoError) {
            clear();
            return;
        }
        // Pages of the service are written in the same code page as its replies.
        QStringDecoder dec(ZENRUN_ANSI_CODEPAGE);
        setHtml(dec.isValid() ? dec.decode(reply->readAll()) : QString::fromUtf8(reply->readAll()));
    });
}

}  // namespace zenrun
