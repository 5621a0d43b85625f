#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>

#include "core/appinfo.h"
#include "linefixture.h"

using namespace zenrun;
using namespace zenrun::testing;

namespace {

const QStringList kAreas = {"华东电信", "华南", "美国"};
const QStringList kEastKeys = {"上海01", "上海02", "停用", "杭州11"};
const QStringList kSouthKeys = {"广州1", "广州2", "深圳1", "深圳2"};

using LineList_ = ClientFixture;

TEST_F(LineList_, FirstShowRestoresTheSavedAreaAndLine) {
    saveLast(QStringLiteral("1"), QStringLiteral("2"));
    start();
    Tfrmmain& f = form();
    EXPECT_EQ(items(f.AreaTxt2), kAreas);
    EXPECT_EQ(items(f.AreaTxt), kAreas);
    EXPECT_EQ(f.AreaTxt2->currentIndex(), 1);
    EXPECT_EQ(f.AreaTxt->currentIndex(), 1);
    EXPECT_EQ(items(f.IPAddrTxt), kSouthKeys);
    EXPECT_EQ(f.IPAddrTxt->currentText(), QStringLiteral("深圳1"));
    EXPECT_EQ(f.linelabel->text(), QStringLiteral("当前节点：深圳1"));
    EXPECT_EQ(rows(), kSouthKeys);
    EXPECT_EQ(f.com_game->count(), 0);

    // One title per area plus the restored one, which is current and marked.
    ASSERT_EQ(f.sb.count(), 4u);
    EXPECT_EQ(f._zz, f.sb.item(3));
    EXPECT_EQ(f._XZ, f._zz);
    EXPECT_EQ(f._zz->caption, QStringLiteral("华南"));
    EXPECT_EQ(f._XZ->titleColor, QColor(Qt::green));
    EXPECT_TRUE(f._XZ->titleBold);

    const LineNode gz1 = row(QStringLiteral("广州1"));
    ASSERT_TRUE(gz1);
    EXPECT_EQ(gz1->ip, QStringLiteral("10.2.0.1"));
    EXPECT_EQ(gz1->delay, QStringLiteral("NA"));
    EXPECT_EQ(gz1->onlinerate, QStringLiteral("90%"));
    EXPECT_EQ(gz1->l2tpstatus, QStringLiteral("支持"));
    EXPECT_EQ(gz1->marknum, QStringLiteral("5"));
    EXPECT_EQ(gz1->losttimes, 0);
}

TEST_F(LineList_, SavedSelectionsThatCannotBeUsedFallBackToTheFirstArea) {
    struct Case {
        std::optional<QString> area, line;
        QString shownLine;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "上海01"},
        {"-1", "-1", "上海01"},
        {"3", "0", "上海01"},  // beyond the list
        {"9", "1", "上海01"},
        {"east", "1", "上海01"},  // not a number
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.area.value_or("missing").toStdString());
        sim.registry.deleteValue(Hive::LocalMachine, kLastLineKey, QStringLiteral("AREACombobox2"));
        sim.registry.deleteValue(Hive::LocalMachine, kLastLineKey, QStringLiteral("IPCombobox2"));
        if (c.area) saveLast(*c.area, *c.line);
        restart();
        EXPECT_EQ(form().AreaTxt2->currentIndex(), 0);
        EXPECT_EQ(items(form().IPAddrTxt), kEastKeys);
        EXPECT_EQ(form().IPAddrTxt->currentText(), c.shownLine);
        EXPECT_EQ(rows(), QStringList({"上海01", "上海02", "杭州11"}));
    }
}

TEST_F(LineList_, AStoredIndexOfTheWrongTypeFallsBackToTheFirstArea) {
    sim.registry.writeInteger(Hive::LocalMachine, kLastLineKey, QStringLiteral("AREACombobox2"), 2);
    start();
    EXPECT_EQ(form().AreaTxt2->currentIndex(), 0);
    EXPECT_EQ(rows(), QStringList({"上海01", "上海02", "杭州11"}));
}

TEST_F(LineList_, TheAreaAndLineSavedAtCloseAreRestoredAtTheNextStart) {
    start();
    choose(form().AreaTxt2, 2);
    form().IPAddrTxt->setCurrentIndex(0);
    form().close();
    EXPECT_EQ(
        sim.registry.readString(Hive::LocalMachine, kLastLineKey, QStringLiteral("AREACombobox2")),
        QStringLiteral("2"));
    restart();
    EXPECT_EQ(form().AreaTxt2->currentText(), QStringLiteral("美国"));
    EXPECT_EQ(rows(), QStringList({"US-LA"}));
}

TEST_F(LineList_, ShiftedAndNonNumericFieldsAreReadAsTheyFall) {
    saveLast(QStringLiteral("1"), QStringLiteral("0"));
    start();
    // ",1,4": the empty rate field is dropped, so the L2TP flag becomes the rate and the
    // type code becomes the L2TP flag.
    const LineNode shifted = row(QStringLiteral("广州2"));
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->onlinerate, QStringLiteral("1"));
    EXPECT_EQ(shifted->l2tpstatus, QStringLiteral("不支持"));
    EXPECT_EQ(shifted->marknum, QString());
    // "x" as the L2TP flag: not supported, and the lines after it are still read.
    const LineNode text = row(QStringLiteral("深圳1"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->l2tpstatus, QStringLiteral("不支持"));
    EXPECT_EQ(text->marknum, QStringLiteral("6"));
    EXPECT_TRUE(row(QStringLiteral("深圳2")));
}

TEST_F(LineList_, SameNamesInTwoAreasAreSeparateAndARepeatedNameReadsItsFirstValue) {
    lineList =
        QStringLiteral("[甲]\n") +
        lineentry(QStringLiteral("同名"), QStringLiteral("10.7.0.1"), QStringLiteral("91%,1,1")) +
        lineentry(QStringLiteral("重复"), QStringLiteral("10.7.0.2"), QStringLiteral("92%,1,1")) +
        lineentry(QStringLiteral("重复"), QStringLiteral("10.7.0.3"), QStringLiteral("93%,0,3")) +
        QStringLiteral("[乙]\n") +
        lineentry(QStringLiteral("同名"), QStringLiteral("10.8.0.1"), QStringLiteral("81%,0,4"));
    start();
    EXPECT_EQ(rows(), QStringList({"同名", "重复", "重复"}));
    EXPECT_EQ(view().lines()[1]->ip, QStringLiteral("10.7.0.2"));
    EXPECT_EQ(view().lines()[2]->ip, QStringLiteral("10.7.0.2"));
    EXPECT_NE(view().lines()[1], view().lines()[2]);
    EXPECT_EQ(row(QStringLiteral("同名"))->ip, QStringLiteral("10.7.0.1"));
    choose(form().AreaTxt2, 1);
    EXPECT_EQ(row(QStringLiteral("同名"))->ip, QStringLiteral("10.8.0.1"));
    EXPECT_EQ(row(QStringLiteral("同名"))->marknum, QStringLiteral("4"));
}

TEST(LineParse, L2tpTextsFollowTheLanguage) {
    const QString value = encodeaddr(QStringLiteral("10.0.0.9")) + QStringLiteral(",99%,1,3");
    const QString off = encodeaddr(QStringLiteral("10.0.0.9")) + QStringLiteral(",99%,2,3");
    EXPECT_EQ(LineList::parseline("a", value, 2)->l2tpstatus, QStringLiteral("yes"));
    EXPECT_EQ(LineList::parseline("a", off, 2)->l2tpstatus, QStringLiteral("-"));
    EXPECT_EQ(LineList::parseline("a", value, 1)->l2tpstatus, QStringLiteral("支持"));
    EXPECT_EQ(LineList::parseline("a", off, 0)->l2tpstatus, QStringLiteral("不支持"));
    EXPECT_FALSE(LineList::parseline("a", QString(), 1));
}

TEST_F(LineList_, ChangingTheAreaRefillsTheListAndTheLineSelector) {
    start();
    form().linenametxt->setText(QStringLiteral("上海"));
    choose(form().AreaTxt2, 1);
    EXPECT_EQ(rows(), kSouthKeys);
    EXPECT_EQ(items(form().IPAddrTxt), kSouthKeys);
    EXPECT_EQ(form().IPAddrTxt->currentIndex(), 0);
    EXPECT_TRUE(form().linenametxt->text().isEmpty());

    // The hidden area combo refills only the line selector.
    choose(form().AreaTxt, 2);
    EXPECT_EQ(items(form().IPAddrTxt), QStringList({"US-LA"}));
    EXPECT_EQ(rows(), kSouthKeys);
}

TEST_F(LineList_, AnAreaWithoutLinesEmptiesTheListAndTheSelector) {
    lineList += QStringLiteral("[空]\n");
    start();
    choose(form().AreaTxt2, 3);
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(form().IPAddrTxt->count(), 0);
}

TEST_F(LineList_, AreaTitleClickFillsTheListAndMarksTheTitle) {
    start();
    FrameBar::Item* east = form().sb.item(0);
    FrameBar::Item* before = form()._XZ;
    form().sb.activate(east);
    EXPECT_EQ(rows(), QStringList({"上海01", "上海02", "杭州11"}));
    EXPECT_EQ(form()._XZ, east);
    EXPECT_TRUE(east->titleBold);
    EXPECT_FALSE(before->titleBold);
    EXPECT_EQ(before->titleColor, QColor(Qt::black));
    // The title click leaves the line selector alone.
    EXPECT_EQ(items(form().IPAddrTxt), kEastKeys);
}

TEST_F(LineList_, SearchListsMatchingLinesWhileTheSelectorKeepsAll) {
    saveLast(QStringLiteral("1"), QStringLiteral("3"));
    start();
    form().linenametxt->setText(QStringLiteral("深圳"));
    form().linenamesearch->click();
    EXPECT_EQ(session.searcharea, 1);
    EXPECT_EQ(form().AreaTxt2->currentIndex(), 1);
    EXPECT_EQ(rows(), QStringList({"深圳1", "深圳2"}));
    EXPECT_EQ(items(form().IPAddrTxt), kSouthKeys);
    ASSERT_TRUE(session.connnode);
    EXPECT_EQ(session.connnode->name, QStringLiteral("深圳1"));
    EXPECT_EQ(form().IPAddrTxt->currentText(), QStringLiteral("深圳1"));
    EXPECT_EQ(form().com_game->count(), 0);

    // Title items made by the search filter by the text at the moment of the click.
    form().linenametxt->setText(QStringLiteral("01"));
    form().sb.activate(form().sb.item(0));
    EXPECT_EQ(rows(), QStringList({"上海01"}));

    // Enter searches too; a text matching nothing leaves the list empty.
    form().linenametxt->setText(QStringLiteral("东京"));
    emit form().linenametxt->returnPressed();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(items(form().IPAddrTxt), kSouthKeys);
    EXPECT_EQ(session.connnode->name, QStringLiteral("深圳1"));  // kept: no first line

    // The search is case-sensitive.
    form().linenametxt->setText(QStringLiteral("us"));
    choose(form().AreaTxt2, 2);
    form().linenametxt->setText(QStringLiteral("us"));
    form().linenamesearch->click();
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(LineList_, RefreshReplacesTheListAndAnEmptyReplyKeepsIt) {
    saveLast(QStringLiteral("1"), QStringLiteral("0"));
    start();
    const LineNode inUse = row(QStringLiteral("广州1"));
    session.connnode = inUse;

    sim.http.queueBody(QStringLiteral("flushvpnlistkiv11.php"),
                       QStringLiteral("[欧洲]\n") +
                           lineentry(QStringLiteral("DE-1"), QStringLiteral("10.9.0.1"),
                                     QStringLiteral("60%,1,1")) +
                           QStringLiteral("[华南]\n") +
                           lineentry(QStringLiteral("新广州"), QStringLiteral("10.9.0.2"),
                                     QStringLiteral("61%,0,1")));
    form().N14->trigger();
    ASSERT_EQ(sim.http.requests.size(), 1);
    EXPECT_EQ(sim.http.requests[0].url,
              QStringLiteral("http://127.0.0.1:9/vpnadmin/useradmin/"
                             "flushvpnlistkiv11.php?viewstr=v1&&viewuser=tester"));
    EXPECT_EQ(items(form().AreaTxt2), QStringList({"欧洲", "华南"}));
    EXPECT_EQ(form().AreaTxt2->currentText(), QStringLiteral("华南"));
    EXPECT_EQ(rows(), QStringList({"新广州"}));
    EXPECT_EQ(items(form().IPAddrTxt), QStringList({"新广州"}));
    // The line in use outlives the rebuild.
    EXPECT_EQ(session.connnode->ip, QStringLiteral("10.2.0.1"));
    EXPECT_TRUE(sim.dialogs.boxes.isEmpty());

    for (const QString& reply : {QString(), QStringLiteral("<html>busy</html>")}) {
        SCOPED_TRACE(reply.toStdString());
        sim.dialogs.boxes.clear();
        sim.http.queueBody(QStringLiteral("flushvpnlistkiv11.php"), reply);
        form().N14->trigger();
        ASSERT_EQ(sim.dialogs.boxes.size(), 1);
        EXPECT_EQ(sim.dialogs.boxes[0].caption, QStringLiteral("Zenrun 11.0"));
        EXPECT_EQ(sim.dialogs.boxes[0].text, QStringLiteral("无法更新服务器列表，请稍后再试"));
        EXPECT_EQ(items(form().AreaTxt2), QStringList({"欧洲", "华南"}));
        EXPECT_EQ(rows(), QStringList({"新广州"}));
        EXPECT_TRUE(form().N14->isEnabled());
    }
}

TEST_F(LineList_, RefreshWithTheSavedAreaGoneShowsTheFirstArea) {
    saveLast(QStringLiteral("2"), QStringLiteral("0"));
    start();
    session.langindex = 2;
    sim.http.queueBody(
        QStringLiteral("flushvpnlistkiv11_en.php"),
        QStringLiteral("[Europe]\n") + lineentry(QStringLiteral("DE-1"), QStringLiteral("10.9.0.1"),
                                                 QStringLiteral("60%,1,1")));
    form().N14->trigger();
    EXPECT_EQ(form().AreaTxt2->currentText(), QStringLiteral("Europe"));
    EXPECT_EQ(rows(), QStringList({"DE-1"}));
    EXPECT_EQ(view().lines().front()->l2tpstatus, QStringLiteral("yes"));
}

TEST_F(LineList_, ASpeedTestRunningRefusesEveryRefill) {
    saveLast(QStringLiteral("1"), QStringLiteral("0"));
    start();
    session.pinging = true;
    const std::vector<LineNode> before = view().lines();
    const QStringList selector = items(form().IPAddrTxt);

    choose(form().AreaTxt2, 0);
    form().linenametxt->setText(QStringLiteral("深圳"));
    form().linenamesearch->click();
    form().sb.activate(form().sb.item(0));
    form().N14->trigger();

    ASSERT_EQ(sim.dialogs.boxes.size(), 4);
    for (const auto& box : sim.dialogs.boxes) {
        EXPECT_EQ(box.caption, QStringLiteral("Zenrun 11.0"));
        EXPECT_EQ(box.text, QStringLiteral("请先关闭测速"));
        EXPECT_EQ(box.icon, MsgIcon::Information);
    }
    EXPECT_EQ(view().lines(), before);  // the very same records
    EXPECT_EQ(items(form().IPAddrTxt), selector);
    EXPECT_EQ(form().AreaTxt2->currentText(), QStringLiteral("华南"));  // back to the shown area
    EXPECT_TRUE(sim.http.requests.isEmpty());
    EXPECT_EQ(form()._XZ->caption, QStringLiteral("华南"));

    session.langindex = 2;
    choose(form().AreaTxt2, 0);
    EXPECT_EQ(sim.dialogs.boxes.last().text, QStringLiteral("please close bat speed"));
    session.langindex = 3;
    choose(form().AreaTxt2, 0);
    EXPECT_EQ(sim.dialogs.boxes.last().text, QStringLiteral("請先關閉測速"));
}

}  // namespace
