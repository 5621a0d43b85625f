#include <gtest/gtest.h>

#include "core/inidocument.h"

namespace zenrun {
namespace {

// The rules of the line and route lists that the login downloads: order kept, names matched
// without case, the first of a repeated name wins, blanks trimmed, ';' comments and blank
// lines skipped, and a route section read by position keeps a place for every key line.
TEST(LoginLists, ReaderKeepsTheRulesOfTheLineAndRouteLists) {
    const IniDocument ini =
        IniDocument::parse(QStringLiteral("; route modes\r\n"
                                          "[游戏B]\r\n"
                                          " r2 = 5.6.7.0|255.255.255.0 \r\n"
                                          "R1=1.1.1.1|255.255.255.255\r\n"
                                          "\r\n"
                                          "r2=9.9.9.9|255.0.0.0\r\n"
                                          "r3=\r\n"
                                          "[全局加速]\n"
                                          "[游戏A]\n"
                                          "x=a=b\n"
                                          "[游戏b]\n"
                                          "r4=4.4.4.4|255.255.255.255\n"));
    EXPECT_EQ(ini.sections(), (QStringList{"游戏B", "全局加速", "游戏A"}));
    EXPECT_EQ(ini.keys("游戏b"), (QStringList{"r2", "R1", "r2", "r3", "r4"}));
    EXPECT_EQ(ini.value("游戏B", "R2"), "5.6.7.0|255.255.255.0");
    EXPECT_EQ(ini.value("游戏B", "r1"), "1.1.1.1|255.255.255.255");
    EXPECT_TRUE(ini.valueExists("游戏B", "r3"));
    EXPECT_EQ(ini.value("游戏B", "r3", "-"), "");
    EXPECT_EQ(ini.value("游戏A", "x"), "a=b");
    EXPECT_TRUE(ini.keys("全局加速").isEmpty());
    EXPECT_TRUE(ini.keys("无此模式").isEmpty());
    EXPECT_TRUE(IniDocument::parse(QString()).isEmpty());
}

}  // namespace
}  // namespace zenrun
