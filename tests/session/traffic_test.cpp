// The traffic and online-time display: the counts and time as shown, the labels and their
// colours, and a display that stays put while the link is not up.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QStatusBar>

#include "core/textutil.h"
#include "session/statusbarpanels.h"
#include "session/trafficdisplay.h"
#include "session/traffictext.h"
#include "sessionrig.h"

namespace zenrun {
namespace {

using testing::SessionRig;
using testing::textcolour;

TEST(TrafficText, KilobytesRoundToTheNearestThousandAndNeverWrap) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0"},
        {499, "0"},
        {500, "1"},  // a half rounds up
        {999, "1"},
        {1499, "1"},
        {1500, "2"},
        {1501, "2"},
        {4294967295ull, "4294967"},
        {4294967296ull, "4294967"},  // a 32-bit counter would show 0 here
        {5000000499ull, "5000000"},
        {1099511627776ull, "1099511628"},  // 1 TiB
        {18446744073709551615ull, "18446744073709552"},
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(kilobytes(bytes), QString::fromLatin1(shown)) << bytes;
}

TEST(TrafficText, OnlineTimeCountsHoursPastADay) {
    const std::pair<qint64, const char*> cases[] = {
        {0, "00:00:00"},        {999, "00:00:00"},      {83000, "00:01:23"},
        {86399000, "23:59:59"}, {90000000, "25:00:00"}, {360000000 + 61000, "100:01:01"},
        {-5000, "00:00:00"},  // a clock set back shows no negative time
    };
    for (const auto& [ms, shown] : cases)
        EXPECT_EQ(onlinetimetext(ms), QString::fromLatin1(shown)) << ms;
}

TEST(TrafficText, OnlineMillisecondsFromTheDayCount) {
    const QDateTime start(QDate(2026, 3, 1), QTime(23, 30));
    const double conntime = toDayCount(start);
    EXPECT_EQ(onlinemillis(conntime, start.addMSecs(90000)), 90000);
    EXPECT_EQ(onlinemillis(conntime, start.addSecs(25 * 3600)), 90000000);
    EXPECT_EQ(onlinemillis(conntime, start.addSecs(-10)), 0);
}

TEST(TrafficText, DataTextInTheThreeLanguages) {
    EXPECT_EQ(datatext(2, 12000, 345000, 83000), QStringLiteral("Data:12KB/345KB  Time:00:01:23"));
    EXPECT_EQ(datatext(1, 12000, 345000, 83000),
              QStringLiteral("已加速:12KB/345KB  在线时间:00:01:23"));
    EXPECT_EQ(datatext(0, 12000, 345000, 83000), datatext(1, 12000, 345000, 83000));
    EXPECT_EQ(datatext(3, 12000, 345000, 83000),
              totraditional(QStringLiteral("已加速:")) + QStringLiteral("12KB/345KB") +
                  totraditional(QStringLiteral("  在线时间:")) + QStringLiteral("00:01:23"));
}

struct TrafficFixture : ::testing::Test {
    SessionRig rig;
    TrafficDisplay display{rig.session, rig.sim.platform, rig.form};

    QLabel* panel() { return statusbarpanel(rig.form.StatusBar1, 1); }
    QStringList shown() {
        return {panel()->text(), rig.form.datalabel->text(), rig.form.statuslabel->text(),
                rig.form.linelabel->text()};
    }
};

TEST_F(TrafficFixture, ALinkThatIsUpShowsTrafficTimeStatusAndLineInRed) {
    rig.form.IPAddrTxt->addItems({QStringLiteral("上海01"), QStringLiteral("广州1")});
    rig.form.IPAddrTxt->setCurrentIndex(1);
    const int handle = rig.dialUp();
    rig.sim.ras.setTraffic(handle, 12000, 345000);
    rig.sim.clock.advance(81000);  // 83 s after the dial started

    struct Case {
        int lang;
        QString data, status, line;
    };
    const Case cases[] = {
        {2, QStringLiteral("Data:12KB/345KB  Time:00:01:23"), QStringLiteral("Connected"),
         QStringLiteral("Line:广州1")},
        {1, QStringLiteral("已加速:12KB/345KB  在线时间:00:01:23"), QStringLiteral("连接成功"),
         QStringLiteral("连接线路：广州1")},
        // Traditional: the words are converted, the line's name is shown as listed.
        {3,
         totraditional(QStringLiteral("已加速:")) + QStringLiteral("12KB/345KB") +
             totraditional(QStringLiteral("  在线时间:")) + QStringLiteral("00:01:23"),
         totraditional(QStringLiteral("连接成功")),
         totraditional(QStringLiteral("连接线路：")) + QStringLiteral("广州1")},
    };
    for (const Case& c : cases) {
        rig.session.langindex = c.lang;
        display.rast12Timer();
        EXPECT_EQ(shown(), QStringList({c.data, c.data, c.status, c.line})) << c.lang;
    }
    EXPECT_NE(totraditional(QStringLiteral("广州1")), QStringLiteral("广州1"));
    EXPECT_EQ(rig.sim.ras.watchedHandle(), handle);
    for (QLabel* l : {rig.form.datalabel, rig.form.statuslabel, rig.form.linelabel})
        EXPECT_EQ(textcolour(l), QColor(Qt::red)) << l->objectName().toStdString();
}

TEST_F(TrafficFixture, CountsPastFourGibibytesAndTimesPastADayKeepGrowing) {
    rig.session.langindex = 2;
    const int handle = rig.dialUp();
    rig.sim.ras.setTraffic(handle, 4294967295ull + 1501, 10ull * 4294967296ull);
    rig.session.conntime = toDayCount(rig.sim.clock.now().addSecs(-(25 * 3600 + 2)));
    display.rast12Timer();
    EXPECT_EQ(rig.form.datalabel->text(),
              QStringLiteral("Data:4294969KB/42949673KB  Time:25:00:02"));
}

TEST_F(TrafficFixture, NothingChangesWhileTheLinkIsNotUp) {
    rig.sim.ras.setScript(SimRas::staysDialling());
    rig.form.datalabel->setText(QStringLiteral("earlier"));
    rig.form.statuslabel->setText(QStringLiteral("正在建立连接"));
    rig.form.linelabel->setText(QStringLiteral("连接线路：广州1"));
    panel()->setText(QStringLiteral("panel"));
    const QStringList before = shown();

    display.rast12Timer();  // no dial at all: handle 0
    EXPECT_EQ(shown(), before);
    rig.dialUp();  // still negotiating
    rig.form.rast12->setHandler([this] { display.rast12Timer(); });
    rig.form.rast12->setEnabled(true);
    rig.sim.clock.advance(12000);
    EXPECT_EQ(shown(), before);
    EXPECT_NE(textcolour(rig.form.datalabel), QColor(Qt::red));

    // Up, then dropped: the last texts stay.
    rig.sim.ras.setScript(SimRas::connectsAfter());
    const int handle = rig.dialUp();
    rig.sim.ras.setTraffic(handle, 2000, 3000);
    rig.sim.clock.advance(4000);
    const QStringList up = shown();
    EXPECT_NE(up, before);
    rig.sim.ras.dropLink(handle);
    rig.sim.ras.setTraffic(handle, 9000, 9000);
    rig.sim.clock.advance(8000);
    EXPECT_EQ(shown(), up);
}

}  // namespace
}  // namespace zenrun
