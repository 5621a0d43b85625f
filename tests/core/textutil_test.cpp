#include "core/textutil.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <thread>
#include <vector>

using namespace zenrun;

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Each byte as the character with that code, as base64decode returns them.
QString bytechars(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

// ---- encoders of the stored forms, as the back-end produces them ----

QString b64e(const QString& latin1, bool pad) {
    return QString::fromLatin1(latin1.toLatin1().toBase64(
        pad ? QByteArray::Base64Encoding
            : QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals));
}

// Inverse of blockswap(·, n), also for texts shorter than 2n.
QString unswap(const QString& t, int n) {
    const qsizetype len = t.size();
    const qsizetype a = std::min<qsizetype>(n, len);
    const qsizetype b = std::min<qsizetype>(n, std::max<qsizetype>(0, len - n));
    return t.mid(b, a) + t.left(b) + t.mid(a + b);
}

QString storelineaddr(const QString& addr, bool pad) {
    QString s = unswap(b64e(addr, pad), 4);
    s = unswap(b64e(s, pad), 7);
    return unswap(b64e(s, pad), 6);
}

QString storedialpass(const QString& pass, const QString& junk8, bool pad) {
    QString s = unswap(b64e(pass, pad), 4);
    s = junk8 + unswap(b64e(s, pad), 6);
    s = unswap(b64e(s, pad), 5);
    s = unswap(b64e(s, pad), 6);
    for (int i = 0; i < 4; ++i) s = b64e(s, pad);
    return s;
}

QString randomtext(QRandomGenerator& rng, int maxLen, char16_t lo, char16_t hi) {
    QString s;
    const int len = static_cast<int>(rng.bounded(maxLen + 1));
    for (int i = 0; i < len; ++i) s += QChar(static_cast<char16_t>(lo + rng.bounded(hi - lo + 1)));
    return s;
}

}  // namespace

TEST(Base64Decode, Cases) {
    struct Case {
        const char* name;
        QString in;
        QString out;
    } cases[] = {
        {"empty", u(""), u("")},
        {"padded one byte", u("QQ=="), u("A")},
        {"unpadded one byte", u("QQ"), u("A")},
        {"padded two bytes", u("QUI="), u("AB")},
        {"unpadded two bytes", u("QUI"), u("AB")},
        {"full group", u("QUJD"), u("ABC")},
        {"group and short tail", u("QUJDRA"), u("ABCD")},
        {"a lone last character yields nothing", u("QUJDR"), u("ABC")},
        {"lone character", u("Q"), u("")},
        {"bytes above 127 stay single characters", u("5L2g"), bytechars("\xE4\xBD\xA0")},
        {"every byte value", u("AP8A/w=="), bytechars(QByteArray("\x00\xFF\x00\xFF", 4))},
        // Only two "=" are dropped; the third is decoded as -1.
        {"three trailing =", u("QQ==="), u("A") + QChar(0x0F)},
        // A foreign character counts as -1 (all bits set) and decoding goes on.
        {"foreign char in the tail", u("Q!=="), u("C")},
        {"foreign char mid-group", u("Q*JDQUI="), u("C") + QChar(0xF2) + u("CAB")},
        {"= inside the text", u("QQ==QUJD"), u("A") + QChar(0x0F) + QChar(0xFF) + u("ABC")},
        {"non-Latin foreign char", u("Q中JD"), u("C") + QChar(0xF2) + u("C")},
    };
    for (const auto& c : cases) EXPECT_EQ(base64decode(c.in), c.out) << c.name;
}

TEST(Base64Decode, InvertsStandardEncodingWithAndWithoutPadding) {
    QRandomGenerator rng(1234);
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes;
        const int len = static_cast<int>(rng.bounded(40));
        for (int k = 0; k < len; ++k) bytes += static_cast<char>(rng.bounded(256));
        const QString expected = bytechars(bytes);
        EXPECT_EQ(base64decode(QString::fromLatin1(bytes.toBase64())), expected);
        EXPECT_EQ(base64decode(QString::fromLatin1(
                      bytes.toBase64(QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals))),
                  expected);
    }
}

TEST(BlockSwap, Cases) {
    struct Case {
        const char* in;
        int n;
        const char* out;
    } cases[] = {
        {"abcdefghijklmnop", 6, "ghijklabcdefmnop"},
        {"abc", 6, "abc"},
        {"abcdef", 6, "abcdef"},
        {"abcdefgh", 6, "ghabcdef"},
        {"abcdefghijkl", 6, "ghijklabcdef"},
        {"", 4, ""},
        {"abcdefghi", 4, "efghabcdi"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(blockswap(u(c.in), c.n), u(c.out)) << c.in << " n=" << c.n;
}

TEST(DecodeLineAddr, RecoversWhatTheBackEndStored) {
    // A known address through the three steps, spelled out once.
    EXPECT_EQ(decodelineaddr(storelineaddr(u("203.0.113.45"), true)), u("203.0.113.45"));

    QRandomGenerator rng(42);
    for (int i = 0; i < 300; ++i) {
        const QString addr = randomtext(rng, 40, u' ', u'~');
        const bool pad = rng.bounded(2) == 0;
        EXPECT_EQ(decodelineaddr(storelineaddr(addr, pad)), addr) << addr.toStdString();
    }
}

TEST(DecodeDialPass, RecoversWhatTheBackEndStored) {
    QRandomGenerator rng(7);
    for (int i = 0; i < 300; ++i) {
        const QString pass = randomtext(rng, 32, u' ', u'~');
        // The eight characters dropped in step 4 are arbitrary bytes.
        QString junk;
        for (int k = 0; k < 8; ++k) junk += QChar(static_cast<char16_t>(rng.bounded(256)));
        const bool pad = rng.bounded(2) == 0;
        EXPECT_EQ(decodedialpass(storedialpass(pass, junk, pad)), pass) << pass.toStdString();
    }
}

TEST(DecodeRoutines, NeverFailOnGarbage) {
    for (const QString& s : {u(""), u("="), u("=="), u("!!!!"), u("中文中文中文中文"), u("a")}) {
        (void)decodelineaddr(s);
        (void)decodedialpass(s);
    }
    EXPECT_EQ(decodelineaddr(u("")), u(""));
    EXPECT_EQ(decodedialpass(u("")), u(""));
}

TEST(Md5Hex, Rfc1321VectorsAndUtf8Input) {
    struct Case {
        QString in;
        const char* hex;
    } cases[] = {
        {u(""), "d41d8cd98f00b204e9800998ecf8427e"},
        {u("a"), "0cc175b9c0f1b6a831c399e269772661"},
        {u("abc"), "900150983cd24fb0d6963f7d28e17f72"},
        {u("message digest"), "f96b697d7cb7938d525a2f31aaf161d0"},
        {u("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b"},
        {u("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {u("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
         "57edf4a22be3c955ac49da2e2107b67a"},
        // UTF-8 bytes, not Latin-1 or the ANSI code page.
        {u("中文"), "a7bac2239fcdcb3a067903d8077c4a07"},
        {QString(QChar(0xE4)), "8419b71c87a225a2c70b50486fbee545"},
        {u("Zenrun 加速器 ✓"), "c60b1bfd905e42b129da89aef877b7b9"},
        {u("𩏷"), "2c4ad44a2f770784538e82136af720c3"},
    };
    for (const auto& c : cases) EXPECT_EQ(md5hex(c.in), u(c.hex)) << c.in.toStdString();
}

TEST(StripBlanks, RemovesEveryBlankAndNothingElse) {
    struct Case {
        QString in, out;
    } cases[] = {
        {u("1.2.3.4  5"), u("1.2.3.45")},
        {u(""), u("")},
        {u("     "), u("")},
        {u(" a b  c   d "), u("abcd")},
        {u("a\tb c\r\nd"), u("a\tbc\r\nd")},
        {u("全角\u3000空格 保留"), u("全角\u3000空格保留")},
    };
    for (const auto& c : cases) EXPECT_EQ(stripblanks(c.in), c.out) << c.in.toStdString();
}

// Expected values computed independently from the published order, salts and cuts.
TEST(CodeChains, LoginFirstShowAndConnect) {
    const LoginCodes l = logincodes(u("alice"), u("s3cret"));
    EXPECT_EQ(l.usercode, u("f5e7869523f40ca5452010860016fdc6"));
    EXPECT_EQ(l.passcode, u("417ed1d25088544039dc870bcf94035d"));
    EXPECT_EQ(l.upcode, u("0b41ba553c85c4c2ff5b1719a8f07125"));
    EXPECT_EQ(l.upcode2, u("725bd8df5dbe242886ba97"));
    EXPECT_EQ(l.viewcode, u("79f154df"));

    const FirstShowCodes f = firstshowcodes(l.usercode, l.passcode);
    EXPECT_EQ(f.chaincode1, u("fec877cc00f7178b221da74334c2194c"));
    EXPECT_EQ(f.chaincode2, u("d6c6800d2ab74c41d703e8c08d757c08"));
    EXPECT_EQ(f.upcode, u("3fca9cf6b2f6c1959f96a7dbf77a6277"));

    const ConnectCodes c = connectcodes(f.chaincode1, f.chaincode2, u("s3cret"));
    EXPECT_EQ(c.checkcode, u("c3ad9e6d55be8de9cb4338f292c27875"));
    EXPECT_EQ(c.upcode, u("31392d29b9e974ec6c364c68e9422d98"));

    const LoginCodes z = logincodes(u("张三"), u("密码123"));
    EXPECT_EQ(z.usercode, u("1b0192add3e9f593f1593121f0f39ced"));
    EXPECT_EQ(z.passcode, u("08c8551e60b73ecab62dc9252e74625f"));
    EXPECT_EQ(z.upcode, u("d9db8467942ed3799672586c42688523"));
    EXPECT_EQ(z.upcode2, u("ec9ca649ed3721823a9ad8"));
    EXPECT_EQ(z.viewcode, u("ec0fa9bc"));
}

TEST(ChineseConversion, RealSentencesBothWays) {
    struct Case {
        const char* simplified;
        const char* traditional;
    } toTrad[] =
        {
            {"网络连接失败，请检查您的网络设置。", "網絡連接失敗，請檢查您的網絡設置。"},
            {"欢迎使用游戏加速器！线路已经连接，当前区域：华东电信。",
             "歡迎使用遊戲加速器！線路已經連接，當前區域：華東電信。"},
            {"账号或密码错误(Error 691)", "賬號或密碼錯誤(Error 691)"},
            {"发现新版本，是否立即更新？", "發現新版本，是否立即更新？"},
        },
      toSimp[] = {
          {"欢迎使用游戏加速器，线路已连线。", "歡迎使用遊戲加速器，線路已連線。"},
          {"请输入帐号与密码", "請輸入帳號與密碼"},
          {"软体更新完成，请重新启动。", "軟體更新完成，請重新啟動。"},
      };
    for (const auto& c : toTrad)
        EXPECT_EQ(totraditional(u(c.simplified)), u(c.traditional)) << c.simplified;
    for (const auto& c : toSimp)
        EXPECT_EQ(tosimplified(u(c.traditional)), u(c.simplified)) << c.traditional;
}

TEST(ChineseConversion, LengthKeptAndNonChineseUnchanged) {
    const QString latin =
        u("Zenrun 11.0 - Line #3: 1.2.3.4 (ping 25ms) ~!@#$%^&*_+=[]{};':\",./<>?\t\n");
    EXPECT_EQ(totraditional(latin), latin);
    EXPECT_EQ(tosimplified(latin), latin);
    EXPECT_EQ(totraditional(u("")), u(""));

    // Outside the Basic Multilingual Plane: a pair maps to a pair; entries whose other side
    // would change the length in UTF-16 units are left alone; a lone surrogate passes.
    EXPECT_EQ(totraditional(u("𫃗")), u("𩏷"));
    EXPECT_EQ(totraditional(u("毶")), u("毶"));
    EXPECT_EQ(totraditional(u("𫢸")), u("𫢸"));
    EXPECT_EQ(tosimplified(u("𩀨")), u("𫕚"));
    const QString lone = QString(QChar(0xD835)) + u("网") + QChar(0xDC00);
    EXPECT_EQ(totraditional(lone), QString(QChar(0xD835)) + u("網") + QChar(0xDC00));

    // The whole CJK block plus the supplementary planes' ideographs, both ways.
    QString all;
    for (char32_t c = 0x3400; c <= 0x9FFF; ++c) all += QChar(static_cast<char16_t>(c));
    for (char32_t c = 0x20000; c <= 0x2FFFF; c += 7) all += QString::fromUcs4(&c, 1);
    EXPECT_EQ(totraditional(all).size(), all.size());
    EXPECT_EQ(tosimplified(all).size(), all.size());
    EXPECT_NE(totraditional(all), all);
}

TEST(ChineseConversion, FirstUseFromSeveralThreads) {
    const QString s = u("网络连接失败");
    const QString t = u("網絡連接失敗");
    std::vector<QString> results(6);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&, i] { results[i] = i % 2 ? tosimplified(t) : totraditional(s); });
    for (auto& th : threads) th.join();
    for (std::size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], i % 2 ? s : t);
}

TEST(GetSysLang, FromTheLocaleEnvironment) {
    struct Case {
        const char* lcAll;  // nullptr: unset
        const char* lcMessages;
        const char* lang;
        int expected;
    } cases[] = {
        {"zh_CN.UTF-8", nullptr, nullptr, 1},
        {nullptr, nullptr, "zh_CN.GB18030", 1},
        {nullptr, nullptr, "zh_CN", 1},
        {nullptr, "zh_TW.Big5", "en_US.UTF-8", 2},
        {"", "zh_TW.UTF-8", nullptr, 2},  // an empty variable counts as unset
        {nullptr, nullptr, "en_US.UTF-8", 0},
        {nullptr, nullptr, "en_US@euro", 0},
        {"en_US.UTF-8", "zh_CN.UTF-8", "zh_TW.UTF-8", 0},  // LC_ALL wins
        {nullptr, nullptr, "en_GB.UTF-8", 3},
        {nullptr, nullptr, "zh_HK.UTF-8", 3},
        {nullptr, nullptr, "zh_SG.UTF-8", 3},
        {"C.UTF-8", nullptr, "zh_CN.UTF-8", 3},
        {nullptr, nullptr, "POSIX", 3},
        {nullptr, nullptr, nullptr, 3},
    };
    const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
    const bool had[] = {qEnvironmentVariableIsSet("LC_ALL"),
                        qEnvironmentVariableIsSet("LC_MESSAGES"),
                        qEnvironmentVariableIsSet("LANG")};
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (const auto& c : cases) {
        const char* values[] = {c.lcAll, c.lcMessages, c.lang};
        for (int i = 0; i < 3; ++i) {
            if (values[i])
                qputenv(names[i], values[i]);
            else
                qunsetenv(names[i]);
        }
        EXPECT_EQ(getsyslang(), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
    for (int i = 0; i < 3; ++i) {
        if (had[i])
            qputenv(names[i], saved[i]);
        else
            qunsetenv(names[i]);
    }
}

// ---- browser clean-up on a fake home folder ----

class BrowserCleanup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(outside_.isValid());
        for (const char* f : kCookies) make(f);
        for (const char* f : kCache) make(f);
        for (const char* f : kKeep) make(f);
        make(outside_.path() + u("/cookies.sqlite"));
        make(outside_.path() + u("/Cache/data_0"));
        // Links that would lead the clean-up out of the browsers' folders.
        ASSERT_TRUE(QFile::link(outside_.path(), path(".mozilla/firefox/linked.profile")));
        QDir().mkpath(path(".cache/chromium/Default"));
        ASSERT_TRUE(
            QFile::link(outside_.path() + u("/Cache"), path(".cache/chromium/Default/Cache")));
        // A link inside a cache folder goes, what it points to stays.
        ASSERT_TRUE(
            QFile::link(outside_.path(), path(".cache/google-chrome/Default/Cache/escape")));
    }

    QString path(const char* rel) const { return home_.path() + u("/") + u(rel); }

    void make(const char* rel) { make(path(rel)); }
    static void make(const QString& file) {
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << file.toStdString();
        f.write("x");
    }

    // Every file and link below the fake home and the outside folder.
    QSet<QString> files() const {
        QSet<QString> out;
        for (const QString& root : {home_.path(), outside_.path()}) {
            QDirIterator it(
                root,
                QDir::Files | QDir::Hidden | QDir::System | QDir::AllDirs | QDir::NoDotAndDotDot,
                QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo info(it.next());
                if (!info.isDir() || info.isSymLink()) out.insert(info.filePath());
            }
        }
        return out;
    }

    QSet<QString> paths(std::initializer_list<const char*> rels) const {
        QSet<QString> out;
        for (const char* r : rels) out.insert(path(r));
        return out;
    }

    static constexpr const char* kCookies[] = {
        ".mozilla/firefox/ab12cd34.default-release/cookies.sqlite",
        ".mozilla/firefox/ab12cd34.default-release/cookies.sqlite-wal",
        ".mozilla/firefox/ab12cd34.default-release/cookies.sqlite-shm",
        ".mozilla/firefox/ab12cd34.default-release/cookies.sqlite-journal",
        ".mozilla/firefox/zz99.work/cookies.sqlite",
        "snap/firefox/common/.mozilla/firefox/snp1.default/cookies.sqlite",
        ".config/google-chrome/Default/Cookies",
        ".config/google-chrome/Default/Cookies-journal",
        ".config/google-chrome/Default/Network/Cookies",
        ".config/google-chrome/Default/Network/Cookies-journal",
        ".config/google-chrome/Profile 1/Network/Cookies",
        ".config/chromium/Default/Network/Cookies",
        ".config/BraveSoftware/Brave-Browser/Default/Network/Cookies",
        ".config/microsoft-edge/Guest Profile/Cookies",
        ".config/vivaldi/Default/Cookies",
    };
    static constexpr const char* kCache[] = {
        ".cache/mozilla/firefox/ab12cd34.default-release/cache2/entries/0A1B2C",
        ".cache/mozilla/firefox/ab12cd34.default-release/cache2/index",
        ".cache/mozilla/firefox/ab12cd34.default-release/cache2/doomed/.hidden",
        ".cache/google-chrome/Default/Cache/Cache_Data/f_000001",
        ".cache/google-chrome/Default/Cache/Cache_Data/index",
        ".cache/google-chrome/Default/Code Cache/js/index-dir/the-real-index",
        ".cache/google-chrome/Profile 2/Cache/Cache_Data/data_1",
        ".cache/BraveSoftware/Brave-Browser/Default/Cache/Cache_Data/data_0",
    };
    static constexpr const char* kKeep[] = {
        ".mozilla/firefox/profiles.ini",
        ".mozilla/firefox/ab12cd34.default-release/places.sqlite",
        ".mozilla/firefox/ab12cd34.default-release/prefs.js",
        ".mozilla/firefox/ab12cd34.default-release/cookies.sqlite.bak",
        ".mozilla/firefox/ab12cd34.default-release/Cookies",
        ".mozilla/firefox/ab12cd34.default-release/sub/cookies.sqlite",
        ".cache/mozilla/firefox/ab12cd34.default-release/startupCache/startupCache.8.little",
        ".cache/mozilla/firefox/ab12cd34.default-release/cache2.old",
        ".config/google-chrome/Default/History",
        ".config/google-chrome/Default/Preferences",
        ".config/google-chrome/Default/cookies",
        ".config/google-chrome/Default/Network/TransportSecurity",
        ".config/google-chrome/Default/Cache/stays-in-config",
        ".config/google-chrome/Crashpad/Cookies",
        ".config/google-chrome/Local State",
        ".config/unknown-browser/Default/Cookies",
        ".cache/google-chrome/Default/Other/data",
        ".cache/google-chrome/Crashpad/Cache/data",
        ".cache/thumbnails/normal/a.png",
        "Documents/cookies.sqlite",
        "Documents/Cookies",
    };

    QTemporaryDir home_;
    QTemporaryDir outside_;
};

TEST_F(BrowserCleanup, ClearCookiesRemovesExactlyTheCookieFiles) {
    const QSet<QString> before = files();
    clearcookies(home_.path());
    const QSet<QString> after = files();
    QSet<QString> expected = before;
    for (const char* f : kCookies) expected.remove(path(f));
    EXPECT_EQ(after, expected) << "removed: "
                               << QStringList((before - after).values()).join(u", ").toStdString();
}

TEST_F(BrowserCleanup, ClearCacheEmptiesTheCacheFoldersAndKeepsThem) {
    const QSet<QString> before = files();
    clearcache(home_.path());
    const QSet<QString> after = files();
    QSet<QString> expected = before;
    for (const char* f : kCache) expected.remove(path(f));
    expected.remove(path(".cache/google-chrome/Default/Cache/escape"));
    EXPECT_EQ(after, expected) << "removed: "
                               << QStringList((before - after).values()).join(u", ").toStdString();
    for (const char* d :
         {".cache/mozilla/firefox/ab12cd34.default-release/cache2",
          ".cache/google-chrome/Default/Cache", ".cache/google-chrome/Default/Code Cache"}) {
        EXPECT_TRUE(QFileInfo(path(d)).isDir()) << d;
        EXPECT_TRUE(QDir(path(d)).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                          QDir::NoDotAndDotDot))
            << d;
    }
}

TEST_F(BrowserCleanup, CookieFoldersAreTheProfiles) {
    QStringList dirs = getcookiedir(home_.path());
    dirs.sort();
    QStringList expected = {
        path(".config/BraveSoftware/Brave-Browser/Default"),
        path(".config/BraveSoftware/Brave-Browser/Default/Network"),
        path(".config/chromium/Default"),
        path(".config/chromium/Default/Network"),
        path(".config/google-chrome/Default"),
        path(".config/google-chrome/Default/Network"),
        path(".config/google-chrome/Profile 1"),
        path(".config/google-chrome/Profile 1/Network"),
        path(".config/microsoft-edge/Guest Profile"),
        path(".config/vivaldi/Default"),
        path(".mozilla/firefox/ab12cd34.default-release"),
        path(".mozilla/firefox/zz99.work"),
        path("snap/firefox/common/.mozilla/firefox/snp1.default"),
    };
    expected.sort();
    EXPECT_EQ(dirs, expected);
}

TEST_F(BrowserCleanup, MissingOrRelativeHomeTouchesNothing) {
    const QSet<QString> before = files();
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(home_.path());
    for (const QString& home : {QString(), home_.path() + u("/does-not-exist"), u("."),
                                u("../") + QFileInfo(home_.path()).fileName()}) {
        clearcookies(home);
        clearcache(home);
        EXPECT_TRUE(getcookiedir(home).isEmpty()) << home.toStdString();
    }
    QDir::setCurrent(cwd);
    EXPECT_EQ(files(), before);
}

// The home folder itself may be a link (the account database names it); only below it are
// links refused.
TEST_F(BrowserCleanup, HomeGivenThroughALink) {
    const QString linkhome = outside_.path() + u("/linkhome");
    ASSERT_TRUE(QFile::link(home_.path(), linkhome));
    clearcookies(linkhome);
    EXPECT_FALSE(QFileInfo::exists(path(".config/google-chrome/Default/Cookies")));
    EXPECT_TRUE(QFileInfo::exists(path(".config/google-chrome/Default/History")));
}

TEST(DeleteFiles, WildcardInOneFolderFilesOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path();
    for (const char* f : {"a.txt", "b.txt", "c.dat", "sub/d.txt"}) {
        QDir().mkpath(QFileInfo(d + u("/") + u(f)).path());
        QFile file(d + u("/") + u(f));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QDir().mkpath(d + u("/folder.txt"));
    EXPECT_TRUE(deletefiles(d + u("/*.txt")));
    EXPECT_FALSE(QFileInfo::exists(d + u("/a.txt")));
    EXPECT_FALSE(QFileInfo::exists(d + u("/b.txt")));
    EXPECT_TRUE(QFileInfo::exists(d + u("/c.dat")));
    EXPECT_TRUE(QFileInfo::exists(d + u("/sub/d.txt")));
    EXPECT_TRUE(QFileInfo(d + u("/folder.txt")).isDir());
    EXPECT_TRUE(deletefiles(d + u("/*.none")));  // nothing matched is no failure
    EXPECT_FALSE(deletefiles(d + u("/missing/*.txt")));
    EXPECT_FALSE(deletefiles(u("")));
}
