#pragma once

#include <QNetworkAccessManager>

#include "platform/http.h"

namespace zenrun {

// Qt Network underneath; each request is waited on with a local event loop so that the
// window keeps painting while the caller sees a plain blocking call.
class QtHttp : public Http {
  public:
    explicit QtHttp(QByteArray codePage = ZENRUN_ANSI_CODEPAGE);
    HttpReply get(const QString& url, int readTimeoutMs, const QString& userAgent) override;
    HttpReply post(const QString& url, const FormFields& form, int readTimeoutMs,
                   const QString& userAgent) override;

    // The form body as sent: key=value pairs joined by '&', each part encoded in the code
    // page and percent-encoded.
    QByteArray encodeForm(const FormFields& form) const;

  private:
    // GET when body is null, else a form POST.
    HttpReply run(const QString& url, const QByteArray* body, int readTimeoutMs,
                  const QString& userAgent);
    QByteArray encode(const QString& text) const;

    QByteArray codePage_;
    QNetworkAccessManager nam_;
};

}  // namespace zenrun
