#pragma once

#include <QNetworkAccessManager>

#include "platform/http.h"

namespace zenrun {

// Qt Network underneath; each request is waited on with a local event loop so that the
// window keeps painting while the caller sees a plain blocking call.
//
// Two bounds beyond the read time-out keep a hostile or broken server from holding the
// client: a reply body may hold at most kMaxReplyBytes (more, declared or arriving, ends the
// request as a failure), and a request may last at most kWholeRequestFactor read time-outs
// in all, however steadily its bytes trickle in.
class QtHttp : public Http {
public:
    // The largest legitimate replies are the line list and the route list: a few thousand
    // lines of under a hundred bytes, well under 1 MiB. Eight times that room still keeps a
    // reply (and its decoded text, twice the bytes) to a few tens of MiB.
    static constexpr qint64 kMaxReplyBytes = 8 * 1024 * 1024;
    static constexpr int kWholeRequestFactor = 2;
    // What Qt may read ahead of us; it stops reading from the connection beyond that.
    static constexpr qint64 kReadBufferBytes = 256 * 1024;

    explicit QtHttp(QByteArray codePage = ZENRUN_ANSI_CODEPAGE,
                    int wholeRequestFactor = kWholeRequestFactor);
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
    int wholeRequestFactor_;
    QNetworkAccessManager nam_;
};

}  // namespace zenrun
