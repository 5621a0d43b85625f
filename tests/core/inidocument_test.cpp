#include "core/inidocument.h"

#include <gtest/gtest.h>

using namespace zenrun;

TEST(IniDocument, KeepsOrderFirstOccurrenceWinsAndIgnoresCase) {
    const auto doc =
        IniDocument::parse(QStringLiteral("stray=ignored\r\n"
                                          "[电信区]\r\n"
                                          "上海1 = abc,90%,1,3\r\n"
                                          "; a comment\r\n"
                                          "北京2=def,80%,0,1\r\n"
                                          "上海1=second,0,0,0\r\n"
                                          "\r\n"
                                          "[Overseas]\n"
                                          "HK=x\n"
                                          "empty=\n"
                                          "[overseas]\n"
                                          "hk=dup\n"
                                          "JP=y\n"
                                          "#1 fast=z\n"));
    EXPECT_EQ(doc.sections(), QStringList({"电信区", "Overseas"}));
    // The repeated name keeps its own place but reads the first value.
    EXPECT_EQ(doc.keys(QStringLiteral("电信区")), QStringList({"上海1", "北京2", "上海1"}));
    EXPECT_EQ(doc.value(QStringLiteral("电信区"), QStringLiteral("上海1")),
              QStringLiteral("abc,90%,1,3"));
    EXPECT_EQ(doc.keys(QStringLiteral("OVERSEAS")),
              QStringList({"HK", "empty", "hk", "JP", "#1 fast"}));
    EXPECT_EQ(doc.value(QStringLiteral("overseas"), QStringLiteral("hk")), QStringLiteral("x"));
    EXPECT_TRUE(doc.valueExists(QStringLiteral("Overseas"), QStringLiteral("empty")));
    EXPECT_EQ(doc.value(QStringLiteral("Overseas"), QStringLiteral("empty"), QStringLiteral("d")),
              QString());
    EXPECT_EQ(doc.value(QStringLiteral("missing"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_FALSE(doc.sectionExists(QStringLiteral("stray")));
    EXPECT_TRUE(IniDocument::parse(QString()).isEmpty());
}
