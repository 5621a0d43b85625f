// Shared by the fuzz targets: the text a reply turns into, and a check that stops the run
// with the property that broke.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef ZENRUN_ANSI_CODEPAGE
#define ZENRUN_ANSI_CODEPAGE "GBK"
#endif

namespace zenrun::fuzz {

// Reply bytes as the client reads them: decoded in the ANSI code page.
inline QString replytext(const std::uint8_t* data, std::size_t size) {
    QStringDecoder dec(ZENRUN_ANSI_CODEPAGE);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    return dec.isValid() ? QString(dec.decode(bytes)) : QString::fromLatin1(bytes);
}

// A text whose characters are bytes (what the Base64 routines work on).
inline QString bytetext(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline QString utf8text(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

[[noreturn]] inline void fail(const char* what, const char* file, int line, const QString& detail) {
    // Control characters (NUL above all) would cut or garble the line: shown as \xNN.
    QString shown;
    for (const QChar c : detail)
        shown += c.unicode() < 0x20 || c.unicode() == 0x7f
                     ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                     : QString(c);
    std::fprintf(stderr, "%s:%d: property broken: %s\n  %s\n", file, line, what,
                 shown.toUtf8().constData());
    std::abort();
}

}  // namespace zenrun::fuzz

#define FUZZ_CHECK(cond, detail)                                                \
    do {                                                                        \
        if (!(cond)) ::zenrun::fuzz::fail(#cond, __FILE__, __LINE__, (detail)); \
    } while (0)
