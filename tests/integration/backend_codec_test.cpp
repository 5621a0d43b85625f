// The back-end's stored forms must come back exactly through the client's decoders, for
// every length: the block swaps behave differently on short texts.
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "core/textutil.h"
#include "server/codec.h"

using namespace zenrun;

namespace {
QString randombytes(QRandomGenerator& rng, int n, bool ascii) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(static_cast<char16_t>(ascii ? rng.bounded(32, 127) : rng.bounded(0, 256)));
    return s;
}
}  // namespace

TEST(BackendCodec, UnblockswapUndoesBlockswapForEveryLength) {
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    for (int n : {4, 5, 6, 7})
        for (int len = 0; len <= letters.size(); ++len) {
            const QString t = letters.left(len);
            EXPECT_EQ(server::unblockswap(blockswap(t, n), n), t) << "n=" << n << " len=" << len;
        }
}

TEST(BackendCodec, StoredFormsRoundTripThroughTheClientDecoders) {
    QRandomGenerator rng(20261211);
    for (int len = 0; len <= 48; ++len)
        for (bool ascii : {true, false}) {
            const QString text = randombytes(rng, len, ascii);
            EXPECT_EQ(decodelineaddr(server::encodelineaddr(text)), text) << "len=" << len;
            const QString filler = randombytes(rng, 8, true);
            EXPECT_EQ(decodedialpass(server::encodedialpass(text, filler)), text) << "len=" << len;
            EXPECT_EQ(base64decode(base64decode(server::encodedialuser(text))),
                      ascii ? text : QString::fromLatin1(server::togbk(text)))
                << "len=" << len;
        }
}

TEST(BackendCodec, StoredFormsHoldNoPaddingOrSeparators) {
    // The line value is cut at ',' and the INI line at '='; neither may appear.
    for (const QString& addr : {QStringLiteral("1.2.3.4"), QStringLiteral("127.0.1.12"),
                                QStringLiteral("203.119.255.254")}) {
        const QString stored = server::encodelineaddr(addr);
        EXPECT_FALSE(stored.contains(QLatin1Char('='))) << stored.toStdString();
        EXPECT_FALSE(stored.contains(QLatin1Char(','))) << stored.toStdString();
    }
}
