// The batch speed test, the single-line test with its dialog, and the post-connect watcher,
// in the assembled client on the simulated platform. Probes answer from the simulated echo
// service at once; the sweep's 50 ms pace runs in real time, the window timers in virtual
// time.
#include "lines/speedtest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>
#include <functional>
#include <thread>

#include "core/textutil.h"
#include "linefixture.h"
#include "lines/linkwatcher.h"
#include "lines/singletest.h"
#include "lines/speedtestform.h"

using namespace zenrun;
using namespace zenrun::testing;

namespace {

// Runs the event loop until `done` holds or the real-time limit passes.
bool waitFor(const std::function<bool()>& done, int limitMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

struct SpeedTest_ : ClientFixture {
    void TearDown() override { sim.icmp.releaseAll(); }
    SpeedTest& batch() { return app->speedTest(); }
    SingleTest& single() { return app->singleTest(); }
    TForm1& dialog() { return app->speedForm(); }
    QPushButton* btn() { return form().btn_speed; }
    int requestsTo(const QString& address) {
        int n = 0;
        for (const auto& r : sim.icmp.requests()) n += r.address == address;
        return n;
    }
    QStringList listed() {
        QStringList out;
        for (int i = 0; i < dialog().ListBox1->count(); ++i)
            out << dialog().ListBox1->item(i)->text();
        return out;
    }
    void setLanguage(int langindex) {
        session.langindex = langindex;
        btn()->setText(batch().startCaption());
    }
};

TEST_F(SpeedTest_, ToggleCaptionsTimerAndPingingInEveryLanguage) {
    start();
    struct Case {
        int lang;
        const char* startCaption;
        const char* stopCaption;
    };
    for (const Case& c : {Case{1, "批量测速", "暂停测速"}, Case{2, "Bat Speed", "Pause Speed"},
                          Case{3, "批量測速", "暫停測速"}}) {
        SCOPED_TRACE(c.lang);
        setLanguage(c.lang);
        EXPECT_EQ(batch().startCaption(), QString::fromUtf8(c.startCaption));
        btn()->click();
        EXPECT_TRUE(session.pinging);
        EXPECT_EQ(btn()->text(), QString::fromUtf8(c.stopCaption));
        EXPECT_TRUE(form().Timer1->enabled());
        btn()->click();
        EXPECT_FALSE(session.pinging);
        EXPECT_EQ(btn()->text(), QString::fromUtf8(c.startCaption));
        EXPECT_FALSE(form().Timer1->enabled());
    }
    // The sweep leaves the pool status as it found it.
    EXPECT_TRUE(waitFor([&] { return form().lbl_info->text() == QLatin1String("PNA/PNA"); }));
}

TEST_F(SpeedTest_, AnEmptyLineSelectorOnlyTakesTheFocus) {
    start();
    form().show();
    form().IPAddrTxt->setCurrentIndex(-1);
    form().btn_speed->setFocus();
    btn()->click();
    EXPECT_FALSE(session.pinging);
    EXPECT_EQ(btn()->text(), QStringLiteral("批量测速"));
    EXPECT_FALSE(form().Timer1->enabled());
    EXPECT_TRUE(form().focusWidget() == form().IPAddrTxt);
    EXPECT_TRUE(sim.icmp.requests().isEmpty());
}

TEST_F(SpeedTest_, StartSortsByDelayAscendingWithUnmeasuredLinesLast) {
    start();
    view().setSort(0, Qt::DescendingOrder);
    view().sort();
    model().setDelay(row(QStringLiteral("上海01")), QStringLiteral("300"));
    model().setDelay(row(QStringLiteral("杭州11")), QStringLiteral("20"));
    sim.icmp.hold(QStringLiteral("10.1.0.1"));  // nothing changes while we look
    sim.icmp.hold(QStringLiteral("10.1.0.2"));
    sim.icmp.hold(QStringLiteral("10.1.0.3"));
    btn()->click();
    EXPECT_EQ(view().sortColumn(), 1);
    EXPECT_EQ(view().sortDirection(), Qt::AscendingOrder);
    EXPECT_EQ(rows(), (QStringList{"杭州11", "上海01", "上海02"}));
}

TEST_F(SpeedTest_, ResultsBecomeDelaysOrTheFailureTextAndTheListIsResortedEveryTwoSeconds) {
    start();
    sim.icmp.setRtt(QStringLiteral("10.1.0.1"), 105);  // 94
    sim.icmp.setRtt(QStringLiteral("10.1.0.2"), 1);    // 0
    sim.icmp.setSilent(QStringLiteral("10.1.0.3"));
    btn()->click();
    ASSERT_TRUE(waitFor([&] { return row(QStringLiteral("杭州11"))->losttimes >= 2; }));
    EXPECT_EQ(row(QStringLiteral("上海01"))->delay, QStringLiteral("94"));
    EXPECT_EQ(row(QStringLiteral("上海02"))->delay, QStringLiteral("0"));
    EXPECT_EQ(row(QStringLiteral("杭州11"))->delay, QStringLiteral("禁ping"));
    EXPECT_EQ(row(QStringLiteral("上海01"))->losttimes, 0);
    // Each pass ends in a re-sort; Timer1 sorts in between.
    EXPECT_EQ(rows(), (QStringList{"上海02", "上海01", "杭州11"}));
    model().setDelay(row(QStringLiteral("杭州11")), QStringLiteral("-5"));
    sim.clock.advance(2000);
    EXPECT_EQ(rows().first(), QStringLiteral("杭州11"));
    EXPECT_TRUE(form().lbl_info->text().endsWith(QLatin1String("/10")))
        << form().lbl_info->text().toStdString();
    btn()->click();

    for (const auto& r : sim.icmp.requests()) {
        EXPECT_EQ(r.payloadBytes, 56);
        EXPECT_EQ(r.ttl, 64);
        EXPECT_EQ(r.timeoutMs, 4000);
    }
}

TEST_F(SpeedTest_, ASilentLineCountsOneLossPerPassInEnglishToo) {
    start();
    session.langindex = 2;
    btn()->setText(batch().startCaption());
    sim.icmp.setRtt(QStringLiteral("10.1.0.1"), 20);
    sim.icmp.setRtt(QStringLiteral("10.1.0.2"), 20);
    const LineNode silent = row(QStringLiteral("杭州11"));
    ASSERT_TRUE(silent);
    btn()->click();
    ASSERT_TRUE(waitFor([&] { return silent->losttimes >= 3; }));
    btn()->click();
    EXPECT_EQ(silent->delay, QStringLiteral("Unknown"));
    // Every probe of the silent line was one pass; none was lost or counted twice.
    QApplication::processEvents();
    const int requests = requestsTo(QStringLiteral("10.1.0.3"));
    EXPECT_GE(silent->losttimes, requests - 1);
    EXPECT_LE(silent->losttimes, requests);
    EXPECT_EQ(requestsTo(QStringLiteral("10.1.0.1")), requests);
}

TEST_F(SpeedTest_, StoppingDropsResultsInFlightAndTasksStillQueued) {
    start();
    sim.icmp.setRtt(QStringLiteral("10.1.0.1"), 30);
    sim.icmp.setRtt(QStringLiteral("10.1.0.2"), 30);
    sim.icmp.setRtt(QStringLiteral("10.1.0.3"), 30);
    const LineNode held = row(QStringLiteral("上海01"));
    model().setDelay(held, QStringLiteral("77"));
    sim.icmp.hold(QStringLiteral("10.1.0.1"));
    btn()->click();
    ASSERT_TRUE(waitFor([&] { return sim.icmp.waiting() == 1; }));
    btn()->click();
    sim.icmp.releaseAll();
    waitFor([] { return false; }, 300);
    EXPECT_EQ(held->delay, QStringLiteral("77"));
    // A quick restart does not revive the stopped test's results either.
    sim.icmp.hold(QStringLiteral("10.1.0.1"));
    btn()->click();
    ASSERT_TRUE(waitFor([&] { return sim.icmp.waiting() == 1; }));
    btn()->click();
    btn()->click();
    sim.icmp.setRtt(QStringLiteral("10.1.0.1"), 500);
    sim.icmp.releaseAll();
    ASSERT_TRUE(waitFor([&] { return held->delay == QLatin1String("450"); }));
    btn()->click();
}

TEST_F(SpeedTest_, StartingRightAfterAStopKeepsOneSweepRunning) {
    start();
    for (const char* a : {"10.1.0.1", "10.1.0.2", "10.1.0.3"})
        sim.icmp.setRtt(QString::fromLatin1(a), 10);
    btn()->click();
    ASSERT_TRUE(waitFor([&] { return !sim.icmp.requests().isEmpty(); }));
    btn()->click();
    btn()->click();
    const int before = static_cast<int>(sim.icmp.requests().size());
    // 20 requests a second at most, whatever happened to the sweep thread.
    waitFor([] { return false; }, 1000);
    const int sent = static_cast<int>(sim.icmp.requests().size()) - before;
    EXPECT_GE(sent, 5);
    EXPECT_LE(sent, 22);
    EXPECT_TRUE(session.pinging);
}

TEST_F(SpeedTest_, AreaChangesAndSearchesAreRefusedWhileTesting) {
    start();
    sim.icmp.hold(QStringLiteral("10.1.0.1"));
    btn()->click();
    const QStringList before = rows();
    choose(form().AreaTxt2, 1);
    form().linenametxt->setText(QStringLiteral("广州"));
    form().linenamesearch->click();
    EXPECT_EQ(rows(), before);
    ASSERT_EQ(sim.dialogs.boxes.size(), 2);
    EXPECT_EQ(sim.dialogs.boxes[0].text, QStringLiteral("请先关闭测速"));
    EXPECT_EQ(sim.dialogs.boxes[0].icon, MsgIcon::Information);
    btn()->click();
}

// --- single-line test ---

TEST_F(SpeedTest_, SevenRequestsGiveSevenLinesByName) {
    start();
    sim.icmp.setRtt(QStringLiteral("10.1.0.1"), 0);
    form().cesu->click();
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().pos(), form().pos() + QPoint(300, 20));
    EXPECT_EQ(listed(), QStringList(7, QStringLiteral("上海01:  time<1 ms")));
    EXPECT_TRUE(form().cesu->isEnabled());
    const auto requests = sim.icmp.requests();
    ASSERT_EQ(requests.size(), 7);
    EXPECT_EQ(requests[0].address, QStringLiteral("10.1.0.1"));
    EXPECT_EQ(requests[0].payloadBytes, 32);
    EXPECT_EQ(requests[0].timeoutMs, 1000);
}

TEST_F(SpeedTest_, AnswerLines) {
    start();
    struct Case {
        int rtt;
        const char* line;
    };
    for (const Case& c : {Case{0, "上海01:  time<1 ms"}, Case{1, "上海01:  time=1 ms"},
                          Case{23, "上海01:  time=23 ms"}, Case{999, "上海01:  time=999 ms"},
                          Case{1000, "Request timed out."}, Case{4000, "Request timed out."}}) {
        dialog().ListBox1->clear();
        single().ICMPReply(c.rtt);
        EXPECT_EQ(listed(), QStringList{QString::fromUtf8(c.line)}) << c.rtt;
    }
    // A silent line times out in every request.
    dialog().ListBox1->clear();
    form().cesu->click();
    EXPECT_EQ(listed(), QStringList(7, QStringLiteral("Request timed out.")));
}

TEST_F(SpeedTest_, TheWindowStaysResponsiveAndCesuDisabledDuringTheSeries) {
    start();
    sim.icmp.setRtt(QStringLiteral("10.1.0.1"), 12);
    sim.icmp.hold(QStringLiteral("10.1.0.1"));
    bool seenDisabled = false;
    int picked = -1;
    QTimer::singleShot(50, [&] {
        // The first request waits; the window handles this timer meanwhile. The user picks
        // another line: later answers carry its name, the requests still go to the first.
        seenDisabled = !form().cesu->isEnabled();
        picked = form().IPAddrTxt->findText(QStringLiteral("上海02"));
        form().IPAddrTxt->setCurrentIndex(picked);
        // A second series from the popup or the retry button waits for this one.
        view().N17->trigger();
        dialog().Button1->click();
        sim.icmp.releaseAll();
    });
    form().cesu->click();
    EXPECT_TRUE(seenDisabled);
    EXPECT_GE(picked, 0);
    EXPECT_TRUE(form().cesu->isEnabled());
    EXPECT_EQ(listed(), QStringList(7, QStringLiteral("上海02:  time=12 ms")));
    EXPECT_EQ(requestsTo(QStringLiteral("10.1.0.1")), 7);
    EXPECT_EQ(sim.icmp.requests().size(), 7);
}

TEST_F(SpeedTest_, GuardsOfTheSingleLineTest) {
    start();
    form().show();
    // The placeholder, in any case, and an empty selector: only the focus moves.
    for (const QString& text : {QStringLiteral("选择服务器"), QStringLiteral("  ")}) {
        form().IPAddrTxt->setEditable(true);
        form().IPAddrTxt->setEditText(text);
        form().cesu->setFocus();
        form().cesu->click();
        EXPECT_TRUE(form().focusWidget() == form().IPAddrTxt);
        EXPECT_FALSE(dialog().isVisible());
    }
    // A line the list does not hold: the message, no dialog, no request.
    form().IPAddrTxt->setEditText(QStringLiteral("不存在"));
    form().cesu->click();
    ASSERT_EQ(sim.dialogs.boxes.size(), 1);
    EXPECT_EQ(sim.dialogs.boxes[0].text, QStringLiteral("发生错误，请关闭程序再重新运行"));
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(sim.icmp.requests().isEmpty());
    // An address that cannot be used ends the series without a line; cesu comes back.
    form().IPAddrTxt->setEditable(false);
    form().IPAddrTxt->setCurrentIndex(0);
    sim.icmp.setUnusable(QStringLiteral("10.1.0.1"));
    form().cesu->click();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(sim.icmp.requests().size(), 1);
    EXPECT_TRUE(form().cesu->isEnabled());
}

TEST_F(SpeedTest_, DialogTextsAndRetryTestTheLineNowChosen) {
    start();
    sim.icmp.setRtt(QStringLiteral("10.1.0.2"), 40);
    struct Case {
        int lang;
        const char* caption;
        const char* button;
    };
    for (const Case& c : {Case{1, "速度测试", "重新测试"}, Case{2, "Test Speed", "Retry Test"},
                          Case{3, "速度測試", "重新測試"}}) {
        session.langindex = c.lang;
        form().cesu->click();
        EXPECT_EQ(dialog().windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(dialog().Button1->text(), QString::fromUtf8(c.button));
        dialog().hide();
    }
    form().IPAddrTxt->setCurrentIndex(form().IPAddrTxt->findText(QStringLiteral("上海02")));
    dialog().Button1->click();
    EXPECT_EQ(listed(), QStringList(7, QStringLiteral("上海02:  time=40 ms")));
}

// --- post-connect watcher ---

TEST_F(SpeedTest_, WatcherWaitsForTheLinkThenStopsTheTestAndShowsTheAccount) {
    struct Case {
        int lang;
        const char* linkUp;
        const char* notice;
    };
    for (const Case& c : {Case{1, "连接成功", "用户名:tester\n到期时间：2027"},
                          Case{2, "Connected", "UserName:tester\n到期时间：2027"},
                          Case{3, "連接成功", "用戶名:tester\n到期時間：2027"}}) {
        SCOPED_TRACE(c.lang);
        sim.dialogs.balloons.clear();
        if (app)
            restart();
        else
            start();
        session.langindex = c.lang;
        session.userinfo = QStringLiteral("到期时间：2027");
        session.taskmincheck = c.lang == 2 ? QStringLiteral("2") : QStringLiteral("1");
        form().show();
        sim.icmp.hold(QStringLiteral("10.1.0.1"));
        btn()->setText(batch().startCaption());
        btn()->click();
        form().Timer2->setEnabled(true);
        form().statuslabel->setText(QStringLiteral("正在连接"));
        sim.clock.advance(3000);
        EXPECT_TRUE(sim.dialogs.balloons.isEmpty());
        EXPECT_TRUE(session.pinging);

        form().statuslabel->setText(QString::fromUtf8(c.linkUp));
        sim.clock.advance(1000);
        ASSERT_EQ(sim.dialogs.balloons.size(), 1);
        EXPECT_EQ(sim.dialogs.balloons[0].title, form().windowTitle());
        EXPECT_EQ(sim.dialogs.balloons[0].text, QString::fromUtf8(c.notice));
        EXPECT_EQ(sim.dialogs.balloons[0].icon, MsgIcon::Information);
        EXPECT_EQ(sim.dialogs.balloons[0].timeoutMs, 10000);
        EXPECT_EQ(form().RzTrayIcon1->toolTip(), form().windowTitle());
        EXPECT_FALSE(form().Timer2->enabled());
        EXPECT_FALSE(session.pinging);
        EXPECT_FALSE(form().Timer1->enabled());
        EXPECT_EQ(btn()->text(), batch().startCaption());
        EXPECT_EQ(form().isVisible(), c.lang != 2);  // to the tray only when asked
        sim.icmp.releaseAll();
    }
}

TEST_F(SpeedTest_, WatcherCutsLongBalloonTexts) {
    start();
    session.userinfo = QString(300, QLatin1Char('x'));
    form().setWindowTitle(QString(70, QLatin1Char('t')));
    form().statuslabel->setText(QStringLiteral("连接成功"));
    form().Timer2->setEnabled(true);
    sim.clock.advance(1000);
    ASSERT_EQ(sim.dialogs.balloons.size(), 1);
    EXPECT_EQ(sim.dialogs.balloons[0].title, QString(63, QLatin1Char('t')));
    EXPECT_EQ(sim.dialogs.balloons[0].text.size(), 255);
    EXPECT_TRUE(sim.dialogs.balloons[0].text.startsWith(QStringLiteral("用户名:tester\nxxx")));
    // The text stops short of a split character rather than keeping half of it.
    const QString emoji = QString::fromUtf8("\U0001F600");
    EXPECT_EQ(LinkWatcher::cut(QString(62, QLatin1Char('a')) + emoji, 63),
              QString(62, QLatin1Char('a')));
    // Without a test running the caption is set to the start caption all the same.
    EXPECT_EQ(btn()->text(), QStringLiteral("批量测速"));
}

}  // namespace
