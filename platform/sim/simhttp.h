#pragma once

#include <QList>
#include <deque>
#include <functional>

#include "platform/http.h"

namespace zenrun {

// Scripted replies. Each request is answered by the first queued reply whose pattern
// occurs in the URL (removed once used), else by the handler, else as unreachable.
class SimHttp : public Http {
public:
    struct Request {
        QString method;  // "GET" or "POST"
        QString url;
        FormFields form;
        int readTimeoutMs;
        QString userAgent;
    };

    HttpReply get(const QString& url, int readTimeoutMs, const QString& userAgent) override;
    HttpReply post(const QString& url, const FormFields& form, int readTimeoutMs,
                   const QString& userAgent) override;

    // Driving API.
    void queue(const QString& urlPattern, HttpReply reply);
    void queueBody(const QString& urlPattern, const QString& body);
    void setHandler(std::function<HttpReply(const Request&)> handler) { handler_ = std::move(handler); }
    QList<Request> requests;

private:
    HttpReply answer(const Request& r);
    std::deque<std::pair<QString, HttpReply>> queue_;
    std::function<HttpReply(const Request&)> handler_;
};

}  // namespace zenrun
