#pragma once

#include <QNetworkAccessManager>
#include <QPointer>
#include <QTextBrowser>

namespace zenrun {

// Shows a page of the service (banner, news). Without a web engine it renders the page's
// HTML with the text browser; loading happens in the background.
class WebPane : public QTextBrowser {
    Q_OBJECT
public:
    explicit WebPane(QWidget* parent = nullptr);
    void navigate(const QString& url);
    QString currentUrl() const { return url_; }
    // Off in tests: navigate() then only records the address.
    void setFetchEnabled(bool on) { fetch_ = on; }

private:
    QString url_;
    bool fetch_ = false;
    QNetworkAccessManager* nam_ = nullptr;
    QPointer<QNetworkReply> pending_;
};

}  // namespace zenrun
