#include "ui/uifont.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <algorithm>

using namespace zenrun;

namespace {

// Texts of one row of the line list and its header, in the three languages.
const char* const kRowTexts[] = {
    "线路名称", "延时(ms)", "在线率", "L2TP", "上海电信01", "深圳1", "US-LA",     "230",
    "NA",       "禁ping",   "96%",    "7",    "線路名稱",   "延時",  "Delay(ms)",
};

bool installed(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

TEST(UiFont, AsksForTheDrawnFaceFirstThenLinuxCjkFacesThenTheSystemSans) {
    const QStringList f = uifamilies(QStringLiteral("SimSun"));
    ASSERT_GE(f.size(), 4);
    EXPECT_EQ(f.front(), QStringLiteral("SimSun"));
    const auto at = [&f](const char* family) { return f.indexOf(QString::fromLatin1(family)); };
    EXPECT_GT(at("WenQuanYi Micro Hei"), 0);
    EXPECT_GT(at("Noto Sans CJK SC"), at("WenQuanYi Micro Hei"));
    EXPECT_GT(at("Noto Sans CJK TC"), at("Noto Sans CJK SC"));
    EXPECT_EQ(f.back(), QStringLiteral("Sans Serif"));
    EXPECT_EQ(QStringList(f).removeDuplicates(), 0);
    const QFont font = uifont(QStringLiteral("SimSun"), 12);
    EXPECT_EQ(font.families(), f);
    EXPECT_EQ(font.pixelSize(), 12);
}

// The fault this guards against: a face without digits or without Chinese as the primary
// face, so each row mixes two faces. One face must draw every character of a row.
TEST(UiFont, OneFaceDrawsEveryCharacterOfALineListRow) {
    const QStringList families = uifamilies(QStringLiteral("SimSun"));
    const QString systemSans = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    const bool cjk = std::any_of(families.begin(), families.end(), [&](const QString& f) {
        return f != systemSans && f != QStringLiteral("Sans Serif") && installed(f);
    });
    if (!cjk) GTEST_SKIP() << "none of the CJK faces is installed (scripts/setup installs one)";

    for (const bool bold : {false, true}) {  // the focused row is bold
        QFont font = uifont(QStringLiteral("SimSun"), 12);
        font.setBold(bold);
        const QString face = QFontInfo(font).family();
        EXPECT_TRUE(families.contains(face, Qt::CaseInsensitive)) << face.toStdString();
        const QRawFont raw = QRawFont::fromFont(font);
        ASSERT_TRUE(raw.isValid());
        EXPECT_EQ(raw.familyName(), face);
        for (const char* text : kRowTexts)
            for (const QChar c : QString::fromUtf8(text))
                EXPECT_TRUE(raw.supportsCharacter(c))
                    << face.toStdString() << " lacks '" << QString(c).toStdString() << "' of "
                    << text;
    }
}

}  // namespace
