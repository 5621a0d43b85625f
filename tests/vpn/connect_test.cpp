// Connect: credentials by line type, the IP check's reply forms, the entry's settings, the
// failure paths and the timers it leaves running.
#include <QRegularExpression>

#include "server/codec.h"
#include "vpnrig.h"

namespace zenrun::testing {
namespace {

const QString kAccept = QStringLiteral("a91e7d02kb6wq3f5e80d4c17b9f2ea06");
const QString kSepA = QStringLiteral("5d3c9b27f0e61a48d9b5c03e7a2f6d19");
const QString kSepB = QStringLiteral("5d3c9b27f0e61a48d9b5c03e7a2f6d18");
const QString kNoInfo = QStringLiteral("无法向服务器查询线路信息，请重新尝试连接或稍后再试.");
const QString kPoorNetwork = QStringLiteral("服务器繁忙或此时网络质量差，请更换线路或稍后再试");

using Connect_ = VpnRig;

struct TypeCase {
    const char* line;
    bool asksBackend;
    const char* dialUser;  // with the accept token as the reply
};

TEST_F(Connect_, CredentialsFollowTheLineType) {
    const TypeCase cases[] = {
        {"T1", false, "alice"},
        {"T3", false, "vazevezoz03\\alice"},
        {"T4", false, "vazevezoz04\\alice"},
        {"T5", false, "vazevezoz05\\alice"},
        {"T6", false, "vazevezoz06\\alice"},
        {"T7", false, "vazevezoz07\\alice"},
        {"T0", true, "alice"},
        {"T2", true, "alice"},
        {"T8", true, "alice"},
        {"TE", true, "alice"},
    };
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.line);
        sim.http.requests.clear();
        sim.http.queueBody(QStringLiteral("ipcheck"), kAccept);
        connectTo(QString::fromUtf8(c.line));
        EXPECT_EQ(sim.http.requests.size(), c.asksBackend ? 1 : 0);
        const auto* conn = sim.ras.connection(session.connhandle);
        ASSERT_NE(conn, nullptr) << status().toStdString();
        EXPECT_EQ(conn->user, QString::fromUtf8(c.dialUser));
        EXPECT_EQ(conn->password, QStringLiteral("secret"));
        EXPECT_TRUE(session.dialaccount);
        disconnect->btn_disconnClick();
    }
}

struct ReplyCase {
    const char* name;
    QString reply;
    QString user;  // empty: connect ends with the "no information" box
    QString password;
    bool dialaccount;
};

TEST_F(Connect_, EveryIpCheckReplyForm) {
    const QString issued = server::encodedialuser(QStringLiteral("zrdial7"));
    const QString pass = server::encodedialpass(QStringLiteral("p4ss"), QStringLiteral("filler12"));
    const QString named = server::encodedialuser(QStringLiteral("zr_alice"));
    const ReplyCase cases[] = {
        {"accept token", kAccept, "alice", "secret", true},
        {"issued account", issued + kSepA + pass, "zrdial7", "p4ss", false},
        {"separator A first falls through to B", kSepA + pass + kSepB + named, "zr_alice", "secret",
         true},
        {"name for the account's password", QStringLiteral("user") + kSepB + named, "zr_alice",
         "secret", true},
        {"separator B first", kSepB + named, {}, {}, true},
        {"token with a line break", kAccept + QStringLiteral("\r\n"), {}, {}, true},
        {"refusal", QStringLiteral("error"), {}, {}, true},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim.dialogs.boxes.clear();
        sim.http.queueBody(QStringLiteral("ipcheckkiv11.php"), c.reply);
        connectTo(QStringLiteral("T2"));
        if (c.user.isEmpty()) {
            EXPECT_EQ(boxes(), QStringList{kNoInfo});
            EXPECT_TRUE(idle());
            EXPECT_EQ(session.connhandle, 0);
            continue;
        }
        EXPECT_TRUE(boxes().isEmpty());
        const auto* conn = sim.ras.connection(session.connhandle);
        ASSERT_NE(conn, nullptr);
        EXPECT_EQ(conn->user, c.user);
        EXPECT_EQ(conn->password, c.password);
        EXPECT_EQ(session.dialaccount, c.dialaccount);
        disconnect->btn_disconnClick();
    }
}

TEST_F(Connect_, TheIpCheckRequestAndItsTwoPages) {
    sim.http.queueBody(QStringLiteral("ipcheck"), kAccept);
    connectTo(QStringLiteral("T0"));
    ASSERT_EQ(sim.http.requests.size(), 1);
    const auto& r = sim.http.requests[0];
    EXPECT_EQ(r.method, QStringLiteral("POST"));
    EXPECT_EQ(r.url, QStringLiteral("http://127.0.0.1:9/vpnadmin/useradmin/ipcheckkiv11.php"));
    EXPECT_EQ(r.readTimeoutMs, 4000);
    EXPECT_EQ(r.userAgent, QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
    const FormFields want = {{"serverip", "10.9.0.1"},
                             {"username", "alice"},
                             {"Upassword", "secret"},
                             {"checkcode", session.checkcode}};
    EXPECT_EQ(r.form, want);
    EXPECT_FALSE(session.checkcode.isEmpty());

    disconnect->btn_disconn2Click();
    sim.http.queueBody(QStringLiteral("ipcheck"), kAccept);
    connect->btn_conn2Click();
    ASSERT_EQ(sim.http.requests.size(), 2);
    EXPECT_EQ(sim.http.requests[1].url,
              QStringLiteral("http://127.0.0.1:9/vpnadmin/useradmin/ipcheckqo168.php"));
}

TEST_F(Connect_, NoReplyDisconnectsAndSaysTheNetworkIsPoor) {
    for (HttpReply r : {HttpReply{false, 0, {}, "timeout"}, HttpReply{false, 404, "<html>", "404"},
                        HttpReply{true, 200, {}, {}}}) {
        SCOPED_TRACE(r.error.toStdString());
        sim.http.queue(QStringLiteral("ipcheck"), r);
        connectTo(QStringLiteral("T8"));
        EXPECT_EQ(status(), kPoorNetwork);
        EXPECT_TRUE(idle());
        EXPECT_TRUE(sim.ras.phonebook().empty());
    }
}

struct EntryCase {
    const char* name;
    bool strongBox;
    bool l2tp;
    bool keyMissing;
    bool wantL2tpDevice;
    bool wantStrong;
};

TEST_F(Connect_, EntrySettingsByProtocolAndEncryption) {
    // The parameter key is missing until the first case without "keyMissing".
    const EntryCase cases[] = {
        {"L2TP without parameters, box on", true, true, true, false, true},
        {"L2TP without parameters, box off", false, true, true, false, false},
        {"PPTP, box off", false, false, false, false, false},
        {"PPTP, box on", true, false, false, false, true},
        {"L2TP, box on", true, true, false, true, false},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.keyMissing)
            sim.registry.writeInteger(Hive::LocalMachine, kRasParametersKey, kProhibitIpSec, 1);
        form->sCheckBox1->setChecked(c.strongBox);
        (c.l2tp ? form->rb_lp2p : form->rb_pptp)->setChecked(true);
        connectTo(QStringLiteral("T1"));
        const RasEntry& e = sim.ras.lastWritten();
        EXPECT_TRUE(e.vpn);
        EXPECT_EQ(e.deviceType, QStringLiteral("vpn"));
        EXPECT_EQ(e.phoneNumber, QStringLiteral("10.9.0.2"));
        EXPECT_EQ(e.deviceName, c.wantL2tpDevice ? QStringLiteral("WAN 微型端口 (L2TP)")
                                                 : QStringLiteral("WAN 微型端口 (PPTP)"));
        EXPECT_EQ(e.strategy, c.wantL2tpDevice ? VpnStrategy::L2tpOnly : VpnStrategy::PptpFirst);
        EXPECT_EQ(e.encryption,
                  c.wantStrong ? EntryEncryption::RequireMax : EntryEncryption::Optional);
        for (RasEntryOption o : {kRemoteDefaultGateway, kIpHeaderCompression, kSwCompression,
                                 kCustom, kPreviewPhoneNumber, kPreviewUserPw,
                                 kRequireDataEncryption, kRequireEncryptedPw, kRequireMsChap2})
            EXPECT_TRUE(e.has(o)) << o;
        EXPECT_FALSE(e.has(kPromoteAlternates));
        for (RasEntryOption o : {kRequirePap, kRequireChap, kRequireMsChap})
            EXPECT_EQ(e.has(o), !c.wantStrong) << o;
        EXPECT_TRUE(c.l2tp ? form->rb_lp2p->isChecked() : form->rb_pptp->isChecked())
            << "radio buttons unchanged";
        EXPECT_EQ(boxes().contains(QStringLiteral("系统出错，不支持L2TP，将以PPTP模式连接")),
                  c.keyMissing);
        disconnect->btn_disconnClick();
        sim.dialogs.boxes.clear();
    }
}

TEST_F(Connect_, DeviceNamesInEveryLanguage) {
    const struct {
        int lang;
        bool l2tp;
        QString device;
    } cases[] = {
        {2, false, "WAN Miniport (PPTP)"},
        {2, true, "WAN Miniport (L2TP)"},
        {3, false, totraditional("WAN 微型端口 (PPTP)")},
        {1, true, "WAN 微型端口 (L2TP)"},
    };
    sim.registry.writeInteger(Hive::LocalMachine, kRasParametersKey, kProhibitIpSec, 1);
    for (const auto& c : cases) {
        session.langindex = c.lang;
        (c.l2tp ? form->rb_lp2p : form->rb_pptp)->setChecked(true);
        connectTo(QStringLiteral("T1"));
        EXPECT_EQ(sim.ras.lastWritten().deviceName, c.device);
        disconnect->btn_disconnClick();
    }
}

TEST_F(Connect_, ASuccessfulStartHandsOverToTheDialTimers) {
    form->datalabel->setText(QStringLiteral("old"));
    connectTo(QStringLiteral("T1"));
    EXPECT_TRUE(connecting());
    EXPECT_EQ(status(), QStringLiteral("正在建立连接"));
    EXPECT_EQ(form->StatusBar1->currentMessage(), QStringLiteral("正在建立连接"));
    EXPECT_EQ(form->linelabel->text(), QStringLiteral("连接线路：T1"));
    for (Timer* t : {form->dialupstatus.get(), form->dialupcheck.get(), form->Timer2.get(),
                     form->rast12.get()})
        EXPECT_TRUE(t->enabled());
    EXPECT_TRUE(form->datalabel->text().isEmpty());
    EXPECT_NE(session.connhandle, 0);
    EXPECT_EQ(session.serverip, QStringLiteral("10.9.0.2"));
    EXPECT_EQ(session.linetype, QStringLiteral("1"));
    EXPECT_EQ(session.connnode, focused);
    EXPECT_EQ(session.changenode, focused);
    EXPECT_DOUBLE_EQ(session.conntime, toDayCount(sim.clock.now()));
    EXPECT_EQ(ourRoutes(), 1u);
    EXPECT_TRUE(session.routesadded);
    // The entry holds the credentials the dial read back.
    const auto& stored = sim.ras.phonebook().at(session.entryname);
    EXPECT_EQ(stored.user, QStringLiteral("alice"));
    EXPECT_EQ(sim.ras.entryName(), session.entryname);
}

TEST_F(Connect_, EntryNameAndSessionIdFormats) {
    const QDateTime t(QDate(2026, 3, 4), QTime(5, 6, 7, 8));
    EXPECT_EQ(entrynamefor(t), QStringLiteral("030456708"));
    EXPECT_EQ(entrynamefor(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58, 123))),
              QStringLiteral("1231235958123"));
    const QString id = uniqueidfor(t);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^20260304"
                                                  "56708"
                                                  "[0-9]{8}$"))
                    .match(id)
                    .hasMatch())
        << id.toStdString();
    // Drawn from the system's generator: two ids of the same instant differ.
    QSet<QString> ids;
    for (int i = 0; i < 5; ++i) ids << uniqueidfor(t).right(8);
    EXPECT_GT(ids.size(), 1);
}

TEST_F(Connect_, EachAttemptUsesANewEntryAndDeletesThePreviousOne) {
    connectTo(QStringLiteral("T1"));
    const QString first = session.entryname;
    sim.clock.advance(5);
    connect->btn_connClick();
    EXPECT_NE(session.entryname, first);
    EXPECT_EQ(sim.ras.phonebook().count(first), 0u);
    EXPECT_EQ(sim.ras.phonebook().size(), 1u);
    EXPECT_EQ(ourRoutes(), 1u) << "routes already in place are not added again";
}

TEST_F(Connect_, NoLineSelectedOnlyMovesTheFocus) {
    form->IPAddrTxt->clear();
    form->IPAddrTxt->addItem(QStringLiteral("  "));
    connect->btn_connClick();
    EXPECT_TRUE(idle());
    EXPECT_TRUE(sim.ras.calls().isEmpty());
    EXPECT_TRUE(sim.http.requests.isEmpty());
    EXPECT_EQ(status(), QStringLiteral("未连接"));
}

TEST_F(Connect_, ALineMissingFromTheListLeavesTheConnectingLayout) {
    form->IPAddrTxt->addItem(QStringLiteral("gone"));
    connectTo(QStringLiteral("gone"));
    EXPECT_EQ(boxes(), QStringList{QStringLiteral("发生错误，请关闭程序再重新运行")});
    EXPECT_TRUE(connecting());
    disconnect->btn_disconnClick();
    EXPECT_TRUE(idle());
}

TEST_F(Connect_, EntryWriteFailuresShowTheAdviceBox) {
    for (int which = 0; which < 2; ++which) {
        sim.dialogs.boxes.clear();
        (which == 0) ? sim.ras.failNextPut(624) : sim.ras.failNextDialProps(624);
        connectTo(QStringLiteral("T1"));
        ASSERT_EQ(sim.dialogs.boxes.size(), 1);
        const QStringList paragraphs = sim.dialogs.boxes[0].text.split(QStringLiteral("\r\n\r\n"));
        EXPECT_EQ(paragraphs.size(), 5);
        EXPECT_EQ(paragraphs.value(4), QStringLiteral("4、关闭客户端后重新打开"));
        EXPECT_TRUE(idle());
        EXPECT_EQ(ourRoutes(), 0u) << "the disconnect took the routes out";
        EXPECT_FALSE(sim.ras.calls().join(' ').contains(QStringLiteral("connectEx")));
    }
}

TEST_F(Connect_, ADialThatCannotStartShowsItsCodeAndKeepsTheRoutes) {
    session.langindex = 2;
    sim.ras.failNextConnect(633, QStringLiteral("no kernel PPP support (/dev/ppp)"));
    connectTo(QStringLiteral("T1"));
    EXPECT_EQ(status(), QStringLiteral("Error cole:633-no kernel PPP support (/dev/ppp)"));
    EXPECT_TRUE(idle());
    EXPECT_TRUE(sim.dialogs.boxes.isEmpty());
    EXPECT_TRUE(sim.ras.phonebook().empty()) << "clearvpnentry deleted the entry";
    EXPECT_EQ(ourRoutes(), 1u);
    EXPECT_TRUE(session.routesadded);
    EXPECT_FALSE(form->dialupstatus->enabled());
}

TEST_F(Connect_, LineRotationTimerIsArmedOnlyByTheButton) {
    const struct {
        QString aclcheck, acltime;
        bool rotation;
        int interval;  // 0: not armed
    } cases[] = {
        {"2", "30", false, 40000}, {"2", "29", false, 0}, {"2", "", false, 0},
        {"2", "x", false, 0},      {"1", "60", false, 0}, {"2", "30", true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.aclcheck + "/" + c.acltime).toStdString() +
                     (c.rotation ? " rotation" : ""));
        form->autochangeline->setEnabled(false);
        form->autochangeline->setInterval(30000);
        session.aclcheck = c.aclcheck;
        session.acltime = c.acltime;
        pick(QStringLiteral("T1"));
        c.rotation ? connect->btn_conn2Click() : connect->btn_connClick();
        EXPECT_EQ(form->autochangeline->enabled(), c.interval != 0);
        if (c.interval) {
            EXPECT_EQ(form->autochangeline->interval(), c.interval);
        }
        disconnect->btn_disconn2Click();
    }
}

}  // namespace
}  // namespace zenrun::testing
