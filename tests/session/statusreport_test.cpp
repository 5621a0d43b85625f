// Status reports: the eight fields in their order, when reports go out, the over-limit reply
// and everything that is ignored.
#include "session/statusreport.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "core/textutil.h"
#include "sessionrig.h"

namespace zenrun {
namespace {

using testing::SessionRig;

const QString kOverLimit = QString::fromLatin1(StatusReport::kOverLimitReply);
const QString kUrl =
    QStringLiteral("http://back.test:9000/vpnadmin/useradmin/statuscheckkiv11.php");
const QString kOverLimitEnglish = QStringLiteral(
    "Your account has been beyond the online computer connection number, please check the "
    "previous connection is disconnected");
const QString kOverLimitChinese =
    QStringLiteral("您的帐户已经超出在线电脑连接数，请检查以前的连接是否断开");

struct ReportFixture : ::testing::Test {
    SessionRig rig;
    StatusReport report{rig.session, rig.sim.platform, rig.form, rig.actions};
    int handle = 0;

    void SetUp() override {
        Session& s = rig.session;
        s.serverhost = QStringLiteral("back.test:9000");
        s.serverip = QStringLiteral("10.1.0.1");
        s.userpeerip = QStringLiteral("203.0.113.7");
        s.uniqueid = QStringLiteral("2026010590000012345678");
        s.username = QStringLiteral("tester");
        s.dialaccount = false;
        rig.form.statuscheck->setHandler([this] { report.statuscheckTimer(); });
        rig.form.statuslabel->setText(QStringLiteral("连接成功"));
    }
    // The link comes up and the dial monitor starts the reports, as it does for a link whose
    // credentials the back-end issued.
    void linkUp() {
        handle = rig.dialUp();
        rig.form.statuscheck->setEnabled(!rig.session.dialaccount);
    }
    // The first report's reply, then a tick.
    void tickWith(const HttpReply& reply) {
        rig.sim.http.queue(QStringLiteral("statuscheck"), reply);
        report.statuscheckTimer();
    }
    static HttpReply body(const QString& text) { return {true, 200, text, {}}; }
};

TEST_F(ReportFixture, FirstReportGoesOut218SecondsAfterLinkUpWithTheEightFieldsInOrder) {
    linkUp();
    rig.sim.ras.setTraffic(handle, 5000000123ull, 4294967296ull + 7);  // past 32 bits
    rig.sim.http.setHandler([](const SimHttp::Request&) { return HttpReply{true, 200, "ok", {}}; });
    rig.sim.clock.advance(217999);
    EXPECT_TRUE(rig.sim.http.requests.isEmpty());
    rig.sim.clock.advance(1);
    ASSERT_EQ(rig.sim.http.requests.size(), 1);
    const SimHttp::Request& r = rig.sim.http.requests.front();
    EXPECT_EQ(r.method, QStringLiteral("POST"));
    EXPECT_EQ(r.url, kUrl);
    EXPECT_EQ(r.readTimeoutMs, 2000);
    const FormFields expected{
        {"serverip", "10.1.0.1"},
        {"userpeerip", "203.0.113.7"},
        {"clientip", rig.sim.ras.connection(handle)->projection.clientAddress},
        {"uniqueid", "2026010590000012345678"},
        {"username", "tester"},
        {"xmitdata", "5000000123"},
        {"recvdata", "4294967303"},
        {"onlinetime", "220000"},  // from the dial's start, two seconds before link-up
    };
    EXPECT_EQ(r.form, expected);
    EXPECT_FALSE(r.form[2].second.isEmpty());
    rig.sim.clock.advance(218000);
    ASSERT_EQ(rig.sim.http.requests.size(), 2);
    EXPECT_EQ(rig.sim.http.requests[1].form[7].second, QStringLiteral("438000"));
    EXPECT_TRUE(rig.trace.isEmpty());
}

TEST_F(ReportFixture, ServerAddressIsRefreshedFromTheEntryWhileItExists) {
    linkUp();
    rig.session.serverip = QStringLiteral("stale");
    tickWith(body("ok"));
    EXPECT_EQ(rig.sim.http.requests.back().form[0].second, QStringLiteral("10.1.0.1"));
    EXPECT_EQ(rig.session.serverip, QStringLiteral("10.1.0.1"));
    // Deleted at link-up: the address already known is sent.
    rig.sim.ras.setEntryName(rig.session.entryname);
    ASSERT_EQ(rig.sim.ras.deletePhonebook(), 0);
    rig.session.serverip = QStringLiteral("10.1.0.9");
    tickWith(body("ok"));
    EXPECT_EQ(rig.sim.http.requests.back().form[0].second, QStringLiteral("10.1.0.9"));
}

TEST_F(ReportFixture, NoReportWithoutALinkUpOrForALinkDialledWithTheAccount) {
    report.statuscheckTimer();  // no dial
    rig.sim.ras.setScript(SimRas::staysDialling());
    rig.dialUp();
    report.statuscheckTimer();  // still dialling
    EXPECT_TRUE(rig.sim.http.requests.isEmpty());

    rig.sim.ras.setScript(SimRas::connectsAfter());
    rig.session.dialaccount = true;
    linkUp();
    EXPECT_FALSE(rig.form.statuscheck->enabled());
    rig.form.statuscheck->setEnabled(true);  // even a timer left running reports nothing
    rig.sim.clock.advance(3 * 218000);
    EXPECT_TRUE(rig.sim.http.requests.isEmpty());

    // The timer keeps running through a link that dropped.
    rig.session.dialaccount = false;
    rig.sim.ras.dropLink(handle);
    rig.sim.clock.advance(218000);
    EXPECT_TRUE(rig.sim.http.requests.isEmpty());
    EXPECT_TRUE(rig.form.statuscheck->enabled());
}

TEST_F(ReportFixture, OnlyTheExactOverLimitReplyEndsTheLink) {
    linkUp();
    const HttpReply ignored[] = {
        body("ok"),
        body(""),
        body("error"),
        body(kOverLimit + "\n"),
        body(kOverLimit + "\r\n"),
        body(" " + kOverLimit),
        body(kOverLimit.toUpper()),
        body(kOverLimit.left(31)),
        // Failures are silent: unreachable, an error status, a time-out.
        HttpReply{false, 0, {}, "connection refused"},
        HttpReply{false, 500, kOverLimit, "server error"},
        HttpReply{false, 0, {}, "read time-out"},
    };
    for (const HttpReply& reply : ignored) {
        tickWith(reply);
        EXPECT_TRUE(rig.trace.isEmpty()) << reply.body.toStdString();
    }
    EXPECT_EQ(rig.sim.http.requests.size(), static_cast<qsizetype>(std::size(ignored)));
    EXPECT_TRUE(rig.sim.dialogs.boxes.isEmpty());
    EXPECT_EQ(rig.form.statuslabel->text(), QStringLiteral("连接成功"));
    EXPECT_EQ(rig.sim.ras.connection(handle)->state, kRasConnected);
    EXPECT_TRUE(rig.form.statuscheck->enabled());
}

TEST_F(ReportFixture, OverLimitDisconnectsThenSaysWhy) {
    struct Case {
        int lang;
        QString label, message;
    };
    const Case cases[] = {
        {2, QStringLiteral("Disconnected"), kOverLimitEnglish},
        {0, QStringLiteral("已经断开"), kOverLimitChinese},
        {3, totraditional(QStringLiteral("已经断开")), totraditional(kOverLimitChinese)},
    };
    for (const Case& c : cases) {
        rig.session.langindex = c.lang;
        rig.trace.clear();
        rig.sim.dialogs.boxes.clear();
        linkUp();
        // The disconnect writes its own text and stops the reports; the verdict comes after.
        rig.actions.disconnect = [this] {
            rig.note(QStringLiteral("disconnect"));
            rig.form.statuslabel->setText(QStringLiteral("连接已经断开"));
            rig.form.statuscheck->setEnabled(false);
            rig.sim.ras.disconnectEx(rig.session.connhandle);
            rig.session.connhandle = 0;
        };
        tickWith(body(kOverLimit));
        EXPECT_EQ(rig.trace,
                  QStringList({QStringLiteral("disconnect @%1").arg(rig.sim.clock.elapsedMs())}));
        EXPECT_EQ(rig.form.statuslabel->text(), c.label);
        ASSERT_EQ(rig.sim.dialogs.boxes.size(), 1);
        const SimDialogs::Box& box = rig.sim.dialogs.boxes.front();
        EXPECT_EQ(box.caption, QStringLiteral("Zenrun 11.0"));
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
        EXPECT_FALSE(rig.form.statuscheck->enabled());
        EXPECT_TRUE(rig.sim.ras.connection(handle)->ended);
    }
}

TEST_F(ReportFixture, AVerdictArrivingAfterANewDialLeavesTheNewLinkAlone) {
    linkUp();
    // While the request waits the window keeps working: the user reconnects meanwhile.
    rig.sim.http.setHandler([this](const SimHttp::Request&) {
        rig.session.uniqueid = QStringLiteral("2026010590000187654321");
        return HttpReply{true, 200, kOverLimit, {}};
    });
    report.statuscheckTimer();
    EXPECT_TRUE(rig.trace.isEmpty());
    EXPECT_TRUE(rig.sim.dialogs.boxes.isEmpty());
}

}  // namespace
}  // namespace zenrun
