// Status reports against a real zenrun-backend on loopback: the account's computer limit
// ends the session over it, and a back-end that stalls costs one read time-out.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <iostream>

#include "backend/endpoints.h"
#include "backendfixture.h"
#include "core/session.h"
#include "platform/linux/qthttp.h"
#include "platform/sim/simplatform.h"
#include "session/linkactions.h"
#include "session/statusreport.h"
#include "ui/mainwindow.h"

namespace zenrun {
namespace {

using testing::BackendFixture;

#define START(backend) ASSERT_TRUE((backend).started()) << (backend).error().toStdString()

const QString kStatusPath = QString::fromLatin1(paths::kStatusCheck);

// One client computer of the demo account with a link up whose dial-up credentials the
// back-end issued; the simulated desktop and dial-up with real HTTP.
struct Client {
    SimPlatform sp;
    Session session;
    Tfrmmain form{sp.clock};
    LinkActions actions;
    StatusReport report{session, sp.platform, form, actions};
    int disconnects = 0;

    Client(const BackendFixture& backend, const QString& uniqueid) {
        sp.owned->http = std::make_unique<QtHttp>();
        session.serverhost = backend.host();
        session.username = QStringLiteral("demo");
        session.userpeerip = QStringLiteral("127.0.0.1");
        session.uniqueid = uniqueid;
        session.dialaccount = false;
        // Disconnect: hang up, stop the reports, the idle texts.
        actions.disconnect = [this] {
            ++disconnects;
            sp.ras.disconnectEx(session.connhandle);
            session.connhandle = 0;
            form.statuscheck->setEnabled(false);
            form.statuslabel->setText(QStringLiteral("连接已经断开"));
        };
        form.statuscheck->setHandler([this] { report.statuscheckTimer(); });

        Ras& ras = sp.ras;
        ras.pppDefault();
        ras.entry().phoneNumber = QStringLiteral("127.0.1.1");
        ras.putAllEntryProps(QStringLiteral("e1"));
        ras.putDialProps(QStringLiteral("e1"));
        ras.setEntryName(QStringLiteral("e1"));
        ras.getDialParams();
        ras.connectEx(session.connhandle);
        session.conntime = toDayCount(sp.clock.now());
        sp.clock.advance(2000);
        sp.ras.setTraffic(session.connhandle, 5000000000ull, 123456);
        form.statuscheck->setEnabled(true);
        form.statuslabel->setText(QStringLiteral("连接成功"));
    }
    bool linkUp() {
        sp.ras.currentStatusEx(session.connhandle);
        return sp.ras.connectState() == kRasConnected;
    }
    // The next report, when its timer comes.
    void reportNow() { sp.clock.advance(218000); }
};

TEST(StatusAgainstBackend, TheThirdComputerOfTheDemoAccountIsDisconnectedWithTheMessage) {
    BackendFixture backend;
    START(backend);
    Client first(backend, QStringLiteral("2026010590000011111111"));
    Client second(backend, QStringLiteral("2026010590000022222222"));
    Client third(backend, QStringLiteral("2026010590000033333333"));

    first.reportNow();
    second.reportNow();
    third.reportNow();
    for (Client* c : {&first, &second}) {
        EXPECT_EQ(c->disconnects, 0);
        EXPECT_TRUE(c->linkUp());
        EXPECT_TRUE(c->sp.dialogs.boxes.isEmpty());
        EXPECT_TRUE(c->form.statuscheck->enabled());
    }
    EXPECT_EQ(third.disconnects, 1);
    EXPECT_FALSE(third.linkUp());
    EXPECT_FALSE(third.form.statuscheck->enabled());
    EXPECT_EQ(third.form.statuslabel->text(), QStringLiteral("已经断开"));
    ASSERT_EQ(third.sp.dialogs.boxes.size(), 1);
    EXPECT_EQ(third.sp.dialogs.boxes[0].text,
              QStringLiteral("您的帐户已经超出在线电脑连接数，请检查以前的连接是否断开"));

    // The two within the limit keep reporting and stay up.
    first.reportNow();
    second.reportNow();
    EXPECT_EQ(first.disconnects + second.disconnects, 0);
}

TEST(StatusAgainstBackend, AStalledStatusEndpointCostsOneReadTimeOutAndTheLinkStays) {
    BackendFixture backend;
    START(backend);
    ASSERT_TRUE(backend.setFault(kStatusPath, QStringLiteral("stall:20000")));
    Client client(backend, QStringLiteral("2026010590000044444444"));
    QElapsedTimer waited;
    waited.start();
    client.reportNow();
    const qint64 ms = waited.elapsed();
    std::cout << "stalled status report returned after " << ms << " ms\n";
    // The read time-out ends the wait, not the server: well before its 20 s.
    EXPECT_GE(ms, 1500);  // a coarse timer may end up to 5 % early
    EXPECT_LT(ms, 15000);
    EXPECT_EQ(client.disconnects, 0);
    EXPECT_TRUE(client.linkUp());
    EXPECT_TRUE(client.form.statuscheck->enabled());
    EXPECT_TRUE(client.sp.dialogs.boxes.isEmpty());
    EXPECT_EQ(client.form.statuslabel->text(), QStringLiteral("连接成功"));
}

}  // namespace
}  // namespace zenrun
