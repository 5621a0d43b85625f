#pragma once

#include <QString>

#include "core/textutil.h"

namespace zenrun::testing {

// The stored form of a server address, as the back-end writes it into the line list.
inline QString encodeaddr(const QString& address) {
    auto b64 = [](const QString& s) { return QString::fromLatin1(s.toLatin1().toBase64()); };
    QString s = blockswap(b64(address), 4);
    s = blockswap(b64(s), 7);
    return blockswap(b64(s), 6);
}

// "name=address,rate,l2tp,type"
inline QString lineentry(const QString& name, const QString& address, const QString& rest) {
    return name + QLatin1Char('=') + encodeaddr(address) + QLatin1Char(',') + rest +
           QLatin1Char('\n');
}

}  // namespace zenrun::testing
