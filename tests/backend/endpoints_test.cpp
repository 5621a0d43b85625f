#include "backend/endpoints.h"

#include <gtest/gtest.h>

#include "backend/mystring.h"
#include "core/session.h"
#include "platform/sim/simhttp.h"

using namespace zenrun;

namespace {

Hosts testhosts() {
    Hosts h;
    h.primary = QStringLiteral("primary.test:9000");
    h.secondary = QStringLiteral("secondary.test:9000");
    return h;
}

const QString kProbe = QStringLiteral("/vpnadmin/useradmin/netcheckkiv11.php");

}  // namespace

TEST(ProbeHosts, CutsTheFiveFields) {
    struct Case {
        const char* reply;
        const char *peer, *version, *hostip, *update, *route;
    } cases[] = {
        {"1.2.3.4-11.1-5.6.7.8-(http://u.test/z.exe)-2", "1.2.3.4", "11.1", "5.6.7.8",
         "http://u.test/z.exe", "2"},
        // An empty third field moves the later ones up; the route flag is cut as the update.
        {"1.2.3.4-11.1--(http://u.test/z.exe)-2", "1.2.3.4", "11.1", "(http://u.test/z.exe)", "2",
         ""},
        // An empty first field the same way.
        {"-11.1-5.6.7.8-(http://u.test/z.exe)-2", "11.1", "5.6.7.8", "(http://u.test/z.exe)", "2",
         ""},
        // Fewer fields leave the rest empty.
        {"1.2.3.4-11.0", "1.2.3.4", "11.0", "", "", ""},
        {"1.2.3.4", "1.2.3.4", "", "", "", ""},
        // The update field: no parentheses, a lone ")", text before "(".
        {"a-b-c-http://u.test/z.exe-2", "a", "b", "c", "http://u.test/z.exe", "2"},
        {"a-b-c-abc)def-2", "a", "b", "c", "abc", "2"},
        {"a-b-c-get(http://u.test)-2", "a", "b", "c", "get", "2"},
        {"a-b-c-(x(y)z)-2", "a", "b", "c", "x", "2"},
        // Only five fields are read; a line break stays on the last one.
        {"a-b-c-(d)-e-f", "a", "b", "c", "d", "e"},
        {"a-b-c-(d)-2\r\n", "a", "b", "c", "d", "2\r\n"},
    };
    for (const Case& c : cases) {
        SimHttp http;
        http.queueBody(QStringLiteral("primary.test"), QString::fromLatin1(c.reply));
        Session s;
        ASSERT_TRUE(probehosts(s, http, testhosts())) << c.reply;
        EXPECT_EQ(s.userpeerip, QLatin1String(c.peer)) << c.reply;
        EXPECT_EQ(s.newversion, QLatin1String(c.version)) << c.reply;
        EXPECT_EQ(s.serverhostip, QLatin1String(c.hostip)) << c.reply;
        EXPECT_EQ(s.updateurl, QLatin1String(c.update)) << c.reply;
        EXPECT_EQ(s.routeenable, QLatin1String(c.route)) << c.reply;
    }
}

TEST(ProbeHosts, PrimaryFirstThenSecondary) {
    {
        SimHttp http;
        http.queueBody(QStringLiteral("primary.test"),
                       QStringLiteral("1.1.1.1-11.0-2.2.2.2-(u)-2"));
        Session s;
        ASSERT_TRUE(probehosts(s, http, testhosts()));
        EXPECT_EQ(s.serverhost, QStringLiteral("primary.test:9000"));
        EXPECT_EQ(s.serverhost2, QStringLiteral("secondary.test:9000"));
        ASSERT_EQ(http.requests.size(), 1);
        EXPECT_EQ(http.requests[0].url, QStringLiteral("http://primary.test:9000") + kProbe);
        EXPECT_EQ(http.requests[0].method, QStringLiteral("GET"));
        EXPECT_EQ(http.requests[0].userAgent, QStringLiteral("tkoxgnk_vvuoa"));
        EXPECT_EQ(http.requests[0].readTimeoutMs, 30000);
    }
    // An empty reply counts as silence, like a failed request.
    for (const bool primaryEmpty : {true, false}) {
        SimHttp http;
        if (primaryEmpty) http.queueBody(QStringLiteral("primary.test"), QString());
        http.queueBody(QStringLiteral("secondary.test"), QStringLiteral("3.3.3.3-11.0"));
        Session s;
        ASSERT_TRUE(probehosts(s, http, testhosts()));
        EXPECT_EQ(s.serverhost, QStringLiteral("secondary.test:9000"));
        EXPECT_EQ(s.serverhost2, QStringLiteral("primary.test:9000"));
        EXPECT_EQ(s.userpeerip, QStringLiteral("3.3.3.3"));
        ASSERT_EQ(http.requests.size(), 2);
        EXPECT_EQ(http.requests[1].url, QStringLiteral("http://secondary.test:9000") + kProbe);
    }
}

TEST(ProbeHosts, BothSilentChangesNothing) {
    SimHttp http;
    http.queueBody(QStringLiteral("secondary.test"), QString());
    Session s;
    s.serverhost = QStringLiteral("kept");
    s.userpeerip = QStringLiteral("kept");
    EXPECT_FALSE(probehosts(s, http, testhosts()));
    EXPECT_EQ(s.serverhost, QStringLiteral("kept"));
    EXPECT_EQ(s.userpeerip, QStringLiteral("kept"));
    EXPECT_TRUE(s.serverhost2.isEmpty());
    EXPECT_EQ(http.requests.size(), 2);
}

TEST(Endpoints, LanguageForms) {
    EXPECT_EQ(langpath(paths::kUserCheck, 0),
              QStringLiteral("/vpnadmin/useradmin/usercheckkiv11.php"));
    EXPECT_EQ(langpath(paths::kUserCheck, 1),
              QStringLiteral("/vpnadmin/useradmin/usercheckkiv11.php"));
    EXPECT_EQ(langpath(paths::kVpnList, 2),
              QStringLiteral("/vpnadmin/useradmin/vpnlistkiv11_en.php"));
    EXPECT_EQ(langpath(paths::kRouteList, 3),
              QStringLiteral("/vpnadmin/useradmin/routelistkiv11_tw.php"));
}

TEST(Endpoints, QueryValuesCannotAddParameters) {
    EXPECT_EQ(queryvalue(QStringLiteral("demo")), QStringLiteral("demo"));
    EXPECT_EQ(queryvalue(QStringLiteral("a&b=c d")), QStringLiteral("a%26b%3Dc%20d"));
    EXPECT_EQ(queryvalue(QStringLiteral("x#y?z%+")), QStringLiteral("x%23y%3Fz%25%2B"));
    // In the ANSI code page (GBK), not UTF-8.
    EXPECT_EQ(queryvalue(QStringLiteral("张三")), QStringLiteral("%D5%C5%C8%FD"));
}

TEST(Endpoints, LineListUrls) {
    Session s;
    s.serverhost = QStringLiteral("h.test:9000");
    s.viewcode = QStringLiteral("0a1b2c3d");
    s.username = QStringLiteral("a&viewstr=b");
    s.langindex = 2;
    EXPECT_EQ(vpnlisturl(s, QStringLiteral("bob")),
              QStringLiteral("http://h.test:9000/vpnadmin/useradmin/vpnlistkiv11_en.php"
                             "?viewstr=0a1b2c3d&&viewuser=bob"));
    s.langindex = 0;
    EXPECT_EQ(flushvpnlisturl(s),
              QStringLiteral("http://h.test:9000/vpnadmin/useradmin/flushvpnlistkiv11.php"
                             "?viewstr=0a1b2c3d&&viewuser=a%26viewstr%3Db"));
}

TEST(Endpoints, DefaultHostsAreBuildConstants) {
    const Hosts h = Hosts::defaults();
    EXPECT_FALSE(h.primary.isEmpty());
    EXPECT_NE(h.primary, h.secondary);
    EXPECT_TRUE(h.customerService.startsWith(QStringLiteral("http://")));
}
