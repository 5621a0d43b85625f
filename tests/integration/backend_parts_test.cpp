// The back-end's own parsing: the data file, fault specs, listen addresses and request
// parameters.
#include <gtest/gtest.h>

#include "server/datafile.h"
#include "server/faults.h"
#include "server/httpfront.h"
#include "server/service.h"

using namespace zenrun::server;

TEST(BackendData, DemoDataLoads) {
    const Data d = loaddata(ZENRUN_DEMO_DATA);
    EXPECT_EQ(d.areas.size(), 4u);
    std::size_t lines = 0;
    for (const Area& a : d.areas) lines += a.lines.size();
    EXPECT_EQ(lines, 12u);
    ASSERT_EQ(d.routemodes.size(), 2u);
    EXPECT_TRUE(d.routemodes[0].networks.empty());
    EXPECT_GE(d.routemodes[1].networks.size(), 300u);
    EXPECT_EQ(d.limitfor(QStringLiteral("demo")), 2);
    EXPECT_EQ(d.limitfor(QStringLiteral("other")), 1);
}

TEST(BackendData, RefusesDataThatWouldShiftTheClientsFields) {
    const char* bad[] = {
        "not json",
        R"j({"probe": {"update": "(http://h/zenrun-11.1.exe)"}})j",
        R"j({"areas": [{"name": "a", "lines": [{"name": "x", "address": "1.2.3.4", "onlinerate": "1,5"}]}]})j",
        R"j({"areas": [{"name": "a=b"}]})j",
        R"j({"areas": [{"name": "[a]"}]})j",
        R"j({"areas": [{"name": "a", "lines": [{"name": "x"}]}]})j",
        R"j({"areas": [{"name": "a", "lines": [{"name": "x", "address": "1.2.3.4", "ipcheck": "maybe"}]}]})j",
        R"j({"routemodes": [{"name": "m", "networks": ["1.2.3.0/33"]}]})j",
    };
    for (const char* json : bad) EXPECT_THROW(parsedata(json), std::runtime_error) << json;
    const Data ok =
        parsedata(R"j({"routemodes": [{"name": "m", "networks": ["10.1.0.0/16", "10.2.3.4"]}]})j");
    ASSERT_EQ(ok.routemodes[0].networks.size(), 2u);
    EXPECT_EQ(ok.routemodes[0].networks[0].second, QStringLiteral("255.255.0.0"));
    EXPECT_EQ(ok.routemodes[0].networks[1].second, QStringLiteral("255.255.255.255"));
}

TEST(BackendFaultSpec, Forms) {
    EXPECT_EQ(parsefault("stall:250")->ms, 250);
    EXPECT_EQ(parsefault("empty")->kind, Fault::Kind::Empty);
    EXPECT_EQ(parsefault("close")->kind, Fault::Kind::Close);
    EXPECT_EQ(parsefault("bytes:a:b")->bytes, QByteArray("a:b"));
    EXPECT_EQ(parsefault("bytes:")->bytes, QByteArray());
    EXPECT_EQ(parsefault("hex:e4b8ad")->bytes, QByteArray("\xe4\xb8\xad"));
    EXPECT_EQ(parsefault("status:503")->status, 503);
    for (const char* bad : {"", "stall", "stall:", "stall:-1", "stall:1x", "empty:1", "hex:abc",
                            "hex:zz", "status:99", "sometimes"})
        EXPECT_FALSE(parsefault(bad)) << bad;
    Faults f;
    EXPECT_TRUE(f.setfromarg("/a.php=empty"));
    EXPECT_FALSE(f.setfromarg("=empty"));
    EXPECT_FALSE(f.setfromarg("/a.php"));
    EXPECT_TRUE(f.find("/a.php"));
    EXPECT_FALSE(f.find("/a_en.php"));
}

TEST(BackendListen, Addresses) {
    Listen l;
    ASSERT_TRUE(parselisten("127.0.0.2:9000", l));
    EXPECT_EQ(l.host, "127.0.0.2");
    EXPECT_EQ(l.port, 9000);
    ASSERT_TRUE(parselisten("[::1]:0", l));
    EXPECT_EQ(l.host, "::1");
    EXPECT_EQ(l.port, 0);
    for (const char* bad : {"", "9000", ":9000", "host:", "host:x", "host:70000", "[::1]9000"})
        EXPECT_FALSE(parselisten(bad, l)) << bad;
}

TEST(BackendParams, FirstOccurrenceWinsAndValuesAreGbk) {
    const Params p =
        parseparams("viewstr=ab12&&viewuser=x%26viewstr%3D0&viewstr=zz&n=%D5%C5+%C8%FD&flag");
    EXPECT_EQ(p.at("viewstr"), QStringLiteral("ab12"));
    EXPECT_EQ(p.at("viewuser"), QStringLiteral("x&viewstr=0"));
    EXPECT_EQ(p.at("n"), QStringLiteral("张 三"));
    EXPECT_EQ(p.at("flag"), QString());
    EXPECT_EQ(p.size(), 4u);
    EXPECT_TRUE(parseparams("").empty());
    EXPECT_EQ(parseparams("a=%zz%4").at("a"), QStringLiteral("%zz%4"));
}
