#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace zenrun {

struct HttpReply {
    bool ok = false;   // a 2xx answer arrived and was read completely
    int status = 0;    // HTTP status, 0 when none arrived
    QString body;      // body decoded in the ANSI code page
    QString error;     // why it failed, for logs and tests
};

using FormFields = QList<QPair<QString, QString>>;

// Blocking from the caller's view; the window keeps painting while a request waits.
// readTimeoutMs is an inactivity time-out: it restarts whenever data arrives.
class Http {
public:
    virtual ~Http() = default;
    virtual HttpReply get(const QString& url, int readTimeoutMs, const QString& userAgent) = 0;
    // Form values are encoded in the ANSI code page and percent-encoded, in the given order.
    virtual HttpReply post(const QString& url, const FormFields& form, int readTimeoutMs,
                           const QString& userAgent) = 0;
};

}  // namespace zenrun
