#include "backend/mystring.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

#include "platform/regstore.h"
#include "platform/sim/simhttp.h"

using namespace zenrun;

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {
QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}
}  // namespace

TEST(Split, PieceRule) {
    struct Case {
        const char* text;
        const char* sep;
        std::array<const char*, 5> out;
    } cases[] = {
        {"a--b", "-", {"a", "b", "", "", ""}},
        {"(x)", "(", {"x)", "", "", "", ""}},
        {"a-", "-", {"a", "", "", "", ""}},
        {"-a-b", "-", {"a", "b", "", "", ""}},
        {"1-2-3-4-5-6-7", "-", {"1", "2", "3", "4", "5"}},
        {"", "-", {"", "", "", "", ""}},
        {"abc", "-", {"abc", "", "", "", ""}},
        {"---", "-", {"", "", "", "", ""}},
        {"ok-", "-", {"ok", "", "", "", ""}},
        {"a<>b<><>c<>", "<>", {"a", "b", "c", "", ""}},
        {"aXbxc", "x", {"aXb", "c", "", "", ""}},  // the separator matches with case
        {"a-b", "", {"a-b", "", "", "", ""}},      // no separator: one piece
        {"线路1|电信|上海", "|", {"线路1", "电信", "上海", "", ""}},
    };
    for (const auto& c : cases) {
        const strings s(u(c.text));
        const auto got = s.split5(u(c.sep));
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(got[i], u(c.out[i]))
                << "\"" << c.text << "\" at \"" << c.sep << "\", piece " << i;
    }
}

TEST(Split, TenPiecesAndTheRestIgnored) {
    strings s(u("1-2-3-4-5-6-7-8-9-10-11-12"));
    const auto got = s.split10(u("-"));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(got[static_cast<std::size_t>(i)], QString::number(i + 1));
    s.settext(u("x-"));
    const auto two = s.split10(u("-"));
    EXPECT_EQ(two[0], u("x"));
    for (std::size_t i = 1; i < 10; ++i) EXPECT_EQ(two[i], u(""));
    EXPECT_EQ(splitpieces(u("a-b-c"), u("-"), 2), (QStringList{u("a"), u("b")}));
}

TEST(WorkingText, ConstructorsAndSetText) {
    EXPECT_EQ(strings().gettext(), u(""));
    EXPECT_EQ(strings(u("abc")).gettext(), u("abc"));
    EXPECT_EQ(strings(qint64{-42}).gettext(), u("-42"));
    strings s(u("a"));
    s.settext(u("b"));
    EXPECT_EQ(s.gettext(), u("b"));
}

TEST(Replace, FlagsAndStore) {
    struct Case {
        const char* text;
        const char* from;
        const char* to;
        strings::ReplaceFlags flags;
        const char* out;
    } cases[] = {
        {"a.b.c", ".", "-", strings::ReplaceFlags(), "a-b.c"},
        {"a.b.c", ".", "-", strings::ReplaceAll, "a-b-c"},
        {"Abc abc ABC", "abc", "x", strings::ReplaceAll, "Abc x ABC"},
        {"Abc abc ABC", "abc", "x", strings::IgnoreCase, "x abc ABC"},
        {"Abc abc ABC", "abc", "x", strings::ReplaceAll | strings::IgnoreCase, "x x x"},
        {"abc", "", "x", strings::ReplaceAll, "abc"},  // empty pattern: nothing replaced
        {"aaa", "a", "aa", strings::ReplaceAll, "aaaaaa"},
        {"", "a", "b", strings::ReplaceAll, ""},
        {"中文<br>线路", "<br>", "\n", strings::ReplaceAll, "中文\n线路"},
    };
    for (const auto& c : cases) {
        strings s(u(c.text));
        EXPECT_EQ(s.replace(u(c.from), u(c.to), false, c.flags), u(c.out))
            << c.text << " / " << c.from;
        EXPECT_EQ(s.gettext(), u(c.text)) << "without store the working text stays";
        s.replace(u(c.from), u(c.to), true, c.flags);
        EXPECT_EQ(s.gettext(), u(c.out)) << "with store the result becomes the working text";
    }
    strings s(u("a.B.b"));
    EXPECT_EQ(s.replace(u("b"), u("x"), false), u("a.B.x"));  // default: every occurrence
    EXPECT_EQ(s.replace(u("b"), u("x"), false, Qt::CaseInsensitive), u("a.x.x"));
}

TEST(GetHtml, FixedUserAgentTimeOutAndStore) {
    SimHttp http;
    RegStore reg;
    http.queueBody(u("/page"), u("reply"));
    strings4 s(http, reg);
    s.settext(u("old"));
    EXPECT_EQ(s.gethtml(u("http://127.0.0.1/page"), false), u("reply"));
    EXPECT_EQ(s.gettext(), u("old"));
    ASSERT_EQ(http.requests.size(), 1);
    EXPECT_EQ(http.requests[0].method, u("GET"));
    EXPECT_EQ(http.requests[0].userAgent, u("tkoxgnk_vvuoa"));
    EXPECT_EQ(http.requests[0].readTimeoutMs, 30000);

    http.queueBody(u("/page"), u("stored"));
    EXPECT_EQ(s.gethtml(u("http://127.0.0.1/page"), true), u("stored"));
    EXPECT_EQ(s.gettext(), u("stored"));
    // A failure stores the empty text too.
    EXPECT_EQ(s.gethtml(u("http://127.0.0.1/unanswered"), true), u(""));
    EXPECT_EQ(s.gettext(), u(""));
}

TEST(GetHtml, EveryFailureIsEmptyText) {
    SimHttp http;
    HttpReply notFound;
    notFound.status = 404;
    notFound.body = u("Not Found");
    http.queue(u("/404"), notFound);
    EXPECT_EQ(gethtml(http, u("http://127.0.0.1/404")), u(""));

    http.setHandler([](const SimHttp::Request&) -> HttpReply { throw std::runtime_error("boom"); });
    EXPECT_EQ(gethtml(http, u("http://127.0.0.1/throws")), u(""));
}

class Registry4 : public ::testing::Test {
  protected:
    SimHttp http_;
    RegStore reg_;
    strings4 s_{http_, reg_};
};

TEST_F(Registry4, OpenKeyCreatesOnlyWhenAsked) {
    EXPECT_FALSE(s_.openkey(u("Software\\zididov"), false));
    EXPECT_FALSE(reg_.keyExists(Hive::CurrentUser, u("Software\\zididov")));
    EXPECT_TRUE(s_.openkey(u("\\Software\\zididov"), true));  // one leading backslash dropped
    EXPECT_TRUE(reg_.keyExists(Hive::CurrentUser, u("Software\\zididov")));
    EXPECT_TRUE(s_.openkey(u("SOFTWARE\\ZIDIDOV"), false));  // names match without case
    EXPECT_TRUE(s_.openkey(u(""), false));                   // the base (here the root) itself
}

TEST_F(Registry4, WritesAndReadsTypedValues) {
    ASSERT_TRUE(s_.openkey(u("Software\\zididov"), true));
    s_.setvaluename(u("username"));
    s_.writestring(u("张三"));
    s_.setvaluename(u("savepassword"));
    s_.writebool(true);
    s_.setvaluename(u("saveautodial"));
    s_.writebool(false);

    EXPECT_EQ(reg_.readInteger(Hive::CurrentUser, u("Software\\zididov"), u("savepassword")), 1);
    EXPECT_EQ(reg_.readInteger(Hive::CurrentUser, u("Software\\zididov"), u("saveautodial")), 0);

    s_.setvaluename(u("username"));
    EXPECT_EQ(s_.readstring(false), u("张三"));
    EXPECT_EQ(s_.gettext(), u(""));
    EXPECT_EQ(s_.readstring(true), u("张三"));
    EXPECT_EQ(s_.gettext(), u("张三"));
    s_.setvaluename(u("savepassword"));
    EXPECT_TRUE(s_.readbool());
    s_.setvaluename(u("saveautodial"));
    EXPECT_FALSE(s_.readbool());

    // The empty name is the key's default value.
    s_.setvaluename(u(""));
    EXPECT_EQ(s_.readstring(false), u(""));
    s_.writestring(u("default"));
    EXPECT_EQ(s_.readstring(false), u("default"));
}

TEST_F(Registry4, MissingValuesReadEmptyWrongTypesRaise) {
    ASSERT_TRUE(s_.openkey(u("Software\\zididov"), true));
    s_.settext(u("before"));
    s_.setvaluename(u("nothing"));
    EXPECT_EQ(s_.readstring(true), u(""));
    EXPECT_EQ(s_.gettext(), u(""));
    EXPECT_FALSE(s_.readbool());

    s_.setvaluename(u("username"));
    s_.writestring(u("1"));
    EXPECT_THROW(s_.readbool(), RegistryError);
    s_.setvaluename(u("acltime"));
    s_.writebool(true);
    EXPECT_THROW(s_.readstring(false), RegistryError);
}

TEST_F(Registry4, FailedOpenClosesThePreviousKey) {
    ASSERT_TRUE(s_.openkey(u("Software\\A"), true));
    ASSERT_FALSE(s_.openkey(u("Software\\B"), false));
    s_.setvaluename(u("v"));
    EXPECT_THROW(s_.writestring(u("x")), RegistryError);
    EXPECT_THROW(s_.writebool(true), RegistryError);
    EXPECT_EQ(s_.readstring(false), u(""));
    EXPECT_FALSE(reg_.valueExists(Hive::CurrentUser, u("Software\\A"), u("v")));
}

TEST_F(Registry4, RootKeyChoosesTheHive) {
    s_.setrootkey(Hive::LocalMachine);
    ASSERT_TRUE(s_.openkey(u("SOFTWARE\\ravadeviz"), true));
    s_.setvaluename(u("AREACombobox2"));
    s_.writestring(u("华东"));
    EXPECT_EQ(reg_.readString(Hive::LocalMachine, u("SOFTWARE\\ravadeviz"), u("AREACombobox2")),
              u("华东"));
    EXPECT_FALSE(reg_.keyExists(Hive::CurrentUser, u("SOFTWARE\\ravadeviz")));
}

TEST(Registry4Errors, WriteThatCannotBeStoredRaises) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The hive's folder would have to be created where a plain file is.
    const QString blocker = dir.path() + u("/file");
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    SimHttp http;
    RegStore reg(blocker + u("/user.reg"));
    strings4 s(http, reg);
    EXPECT_THROW(s.openkey(u("Software\\zididov"), true), RegistryError);
    EXPECT_FALSE(s.openkey(u("Software\\zididov"), false));
}
