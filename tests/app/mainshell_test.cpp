#include "app/mainshell.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>
#include <stdexcept>

#include "app/clientapp.h"
#include "core/session.h"
#include "core/textutil.h"
#include "platform/sim/simplatform.h"
#include "ui/mainwindow.h"
#include "ui/webpane.h"

using namespace zenrun;

namespace {

// A main window with every seam recording into one trace.
struct ShellFixture : ::testing::Test {
    SimPlatform sim;
    Session session;
    QStringList trace;
    std::optional<int> exitCode;
    std::unique_ptr<Tfrmmain> form;
    std::unique_ptr<MainShell> shell;

    MainShell::Seams recordingSeams() {
        MainShell::Seams s;
        auto rec = [this](const char* name) {
            return [this, name] { trace << QString::fromLatin1(name); };
        };
        s.showLogin = [this] {
            trace << QStringLiteral("showLogin");
            session.loginok = true;
        };
        s.createDialComponents = rec("createDialComponents");
        s.freeDialComponents = rec("freeDialComponents");
        s.restoreLastLine = rec("restoreLastLine");
        s.selectFirstArea = rec("selectFirstArea");
        s.applyRouteMode = rec("applyRouteMode");
        s.captureLocalDns = rec("captureLocalDns");
        s.stopSpeedTest = rec("stopSpeedTest");
        s.removeRoutes = rec("removeRoutes");
        s.hangUp = rec("hangUp");
        s.disconnect = [this] {
            trace << QStringLiteral("disconnect");
            session.connected = false;
        };
        s.oneChangeLine = rec("oneChangeLine");
        s.exitProcess = [this](int code) {
            trace << QStringLiteral("exit");
            exitCode = code;
        };
        return s;
    }

    void build(MainShell::Seams seams) {
        session.apppath = QStringLiteral("/opt/zenrun/");
        form = std::make_unique<Tfrmmain>(sim.clock);
        shell = std::make_unique<MainShell>(
            session, sim.platform, *form, std::move(seams),
            MainShell::PageHosts{QStringLiteral("acct.test"), QStringLiteral("pages.test"),
                                 QStringLiteral("help.test")});
        shell->FormCreate();
    }
    void build() { build(recordingSeams()); }

    void showAndSettle() {
        form->show();
        sim.clock.advance(1000);
    }
};

TEST_F(ShellFixture, FirstShowRunsOnceAndNotAgainAfterARestoreFromTheTray) {
    build();
    session.usercode = md5hex(QStringLiteral("u"));
    session.passcode = md5hex(QStringLiteral("p"));
    session.serverhost = QStringLiteral("127.0.0.1:9000");
    form->IPAddrTxt->addItem(QStringLiteral("上海1"));
    trace.clear();

    showAndSettle();
    EXPECT_EQ(trace, QStringList({"restoreLastLine", "applyRouteMode", "captureLocalDns"}));
    EXPECT_EQ(session.firstshow, QStringLiteral("1"));
    EXPECT_FALSE(form->mainshow->enabled());
    const FirstShowCodes codes = firstshowcodes(session.usercode, session.passcode);
    EXPECT_EQ(session.chaincode1, codes.chaincode1);
    EXPECT_EQ(session.upcode, codes.upcode);
    EXPECT_EQ(form->linelabel->text(), QStringLiteral("当前节点：上海1"));
    EXPECT_EQ(form->web1->currentUrl(),
              QStringLiteral("http://127.0.0.1:9000/kivclient11/maintop.htm"));
    EXPECT_EQ(form->web2->currentUrl(),
              QStringLiteral("http://127.0.0.1:9000/kivclient11/news.htm"));

    // Minimise to the tray and come back: a new show event, but nothing runs again.
    trace.clear();
    session.upcode = QStringLiteral("connect-time code");
    form->hide();
    shell->restoreFromTray();
    sim.clock.advance(10000);
    EXPECT_TRUE(trace.isEmpty()) << trace.join(',').toStdString();
    EXPECT_EQ(session.upcode, QStringLiteral("connect-time code"));
    EXPECT_EQ(session.firstshow, QStringLiteral("1"));
}

TEST_F(ShellFixture, HintsShowAtOnce) {
    build();
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 0);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_FallAsleepDelay), 100);
}

TEST_F(ShellFixture, AFailingFirstShowStepSkipsOnlyItself) {
    auto seams = recordingSeams();
    seams.restoreLastLine = [] { throw std::runtime_error("saved index beyond the list"); };
    seams.applyRouteMode = [] { throw std::runtime_error("no route list"); };
    build(std::move(seams));
    session.langindex = 2;
    form->IPAddrTxt->addItem(QStringLiteral("HK-1"));
    trace.clear();

    showAndSettle();
    EXPECT_EQ(trace, QStringList({"selectFirstArea", "captureLocalDns"}));
    EXPECT_FALSE(session.chaincode1.isEmpty());
    EXPECT_EQ(form->linelabel->text(), QStringLiteral("Line:HK-1"));
    EXPECT_FALSE(form->web2->currentUrl().isEmpty());
    EXPECT_EQ(session.firstshow, QStringLiteral("1"));
}

TEST_F(ShellFixture, RouteSelectorFollowsTheProbeFlag) {
    for (const auto& [flag, visible] : {std::pair{"2", true}, {"1", false}, {"", false}}) {
        session.firstshow.clear();
        session.routeenable = QString::fromLatin1(flag);
        build();
        showAndSettle();
        EXPECT_EQ(form->routetype->isVisible(), visible) << flag;
        EXPECT_EQ(form->sLabel5->isVisible(), visible) << flag;
    }
}

TEST_F(ShellFixture, CloseWhileConnectedAnsweredNoMinimisesAndKeepsTheLink) {
    build();
    showAndSettle();
    session.connected = true;
    trace.clear();
    sim.dialogs.queueAnswer(MsgAnswer::No);

    EXPECT_FALSE(form->close());
    ASSERT_EQ(sim.dialogs.boxes.size(), 1);
    const auto& box = sim.dialogs.boxes.front();
    EXPECT_EQ(box.caption, QStringLiteral("Zenrun 11.0"));
    EXPECT_EQ(box.text, QStringLiteral("VPN正在连接,关闭将断开VPN连接,您确定要关闭吗"));
    EXPECT_EQ(box.icon, MsgIcon::Question);
    EXPECT_EQ(box.buttons, MsgButtons::YesNo);
    EXPECT_TRUE(session.connected);
    EXPECT_TRUE(form->isMinimized());
    EXPECT_TRUE(trace.isEmpty());
    EXPECT_FALSE(exitCode.has_value());

    sim.dialogs.queueAnswer(MsgAnswer::Yes);
    session.langindex = 2;
    form->close();
    EXPECT_EQ(sim.dialogs.boxes.back().text,
              QStringLiteral("Network is connected, are you sure you want to close it?"));
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(trace.contains(QStringLiteral("hangUp")));
}

TEST_F(ShellFixture, TrayExitWhileConnectedDisconnectsThenClosesWithoutAsking) {
    build();
    showAndSettle();
    session.connected = true;
    trace.clear();

    form->N7->trigger();
    EXPECT_TRUE(sim.dialogs.boxes.isEmpty());
    ASSERT_FALSE(trace.isEmpty());
    EXPECT_EQ(trace.front(), QStringLiteral("disconnect"));
    EXPECT_EQ(trace.back(), QStringLiteral("exit"));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(ShellFixture, TeardownRunsInOrder) {
    build();
    showAndSettle();
    ASSERT_TRUE(shell->SetHotKeyClick(0x71));
    form->AreaTxt2->addItems({QStringLiteral("电信"), QStringLiteral("网通")});
    form->AreaTxt2->setCurrentIndex(1);
    form->IPAddrTxt->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    form->IPAddrTxt->setCurrentIndex(2);
    session.pinging = true;
    session.routesadded = true;
    form->RzTrayIcon1->setVisible(true);
    trace.clear();

    form->close();
    EXPECT_EQ(trace, QStringList({"stopSpeedTest", "removeRoutes", "hangUp", "freeDialComponents",
                                  "exit"}));
    EXPECT_EQ(sim.registry.readString(Hive::LocalMachine, QStringLiteral("SOFTWARE\\ravadeviz"),
                                      QStringLiteral("AREACombobox2")),
              QStringLiteral("1"));
    EXPECT_EQ(sim.registry.readString(Hive::LocalMachine, QStringLiteral("SOFTWARE\\ravadeviz"),
                                      QStringLiteral("IPCombobox2")),
              QStringLiteral("2"));
    EXPECT_TRUE(sim.hotkeys.registered().isEmpty());
    EXPECT_FALSE(session.pinging);
    EXPECT_FALSE(form->RzTrayIcon1->isVisible());
    EXPECT_EQ(sim.shell.deleted,
              QStringList({"/opt/zenrun/delroute.bat", "/opt/zenrun/route.bat"}));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(ShellFixture, TeardownLeavesRoutesAloneWhenNoneWereAddedAndSurvivesARegistryFailure) {
    build();
    showAndSettle();
    // A value of the wrong kind stands where the last area goes: the save fails quietly.
    sim.registry.writeInteger(Hive::LocalMachine, QStringLiteral("SOFTWARE\\ravadeviz"),
                              QStringLiteral("AREACombobox2"), 7);
    trace.clear();
    form->close();
    EXPECT_FALSE(trace.contains(QStringLiteral("removeRoutes")));
    EXPECT_EQ(trace.back(), QStringLiteral("exit"));
}

TEST_F(ShellFixture, HotKeyPressRunsOneClickLineChange) {
    build();
    ASSERT_TRUE(shell->SetHotKeyClick(0x7A));  // F11
    EXPECT_EQ(session.hotkeyid, 0);            // first atom 0xC000 minus 0xC000
    trace.clear();
    EXPECT_TRUE(sim.hotkeys.press(0x7A));
    EXPECT_EQ(trace, QStringList({"oneChangeLine"}));
    EXPECT_FALSE(sim.hotkeys.press(0x7B));
    shell->releaseHotKey();
    EXPECT_FALSE(sim.hotkeys.press(0x7A));
}

TEST_F(ShellFixture, AboutBoxAndPagesFollowTheLanguage) {
    build();
    for (const auto& [lang, caption] : {std::pair{0, "关于"}, {1, "关于"}, {2, "About"}}) {
        session.langindex = lang;
        form->N8->trigger();
        EXPECT_EQ(sim.dialogs.boxes.back().caption, QString::fromUtf8(caption));
        EXPECT_EQ(sim.dialogs.boxes.back().text, QStringLiteral("Zenrun 11.0"));
        EXPECT_EQ(sim.dialogs.boxes.back().buttons, MsgButtons::Ok);
    }
    for (QAction* page : {form->N10, form->V1, form->A1, form->N12, form->N13}) page->trigger();
    EXPECT_EQ(sim.shell.opened,
              QStringList({"http://acct.test/vpnadmin/useradmin/",
                           "http://pages.test/qoclient162/help.htm", "http://help.test/help/",
                           "http://pages.test/qoclient162/user.htm",
                           "http://pages.test/qoclient162/gg.htm"}));
}

TEST(ClientStart, AFailedLoginClosesTheMainWindowWithoutSavingAnything) {
    SimPlatform sim;
    Session session;
    ClientApp app(session, sim.platform, {false});
    std::optional<int> exitCode;
    app.seams().exitProcess = [&](int code) { exitCode = code; };
    // The login window is rejected (closed by the user) without a login.
    EXPECT_FALSE(app.start());
    EXPECT_EQ(sim.dialogs.modalsShown, QStringList({"frmlogin"}));
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(app.mainForm().isVisible());
    EXPECT_FALSE(sim.registry.keyExists(Hive::LocalMachine, QStringLiteral("SOFTWARE\\ravadeviz")));
}

TEST(MainWindow, HasTheFixedClientAreaAndEveryTimerDisabled) {
    SimClock clock;
    Tfrmmain form(clock);
    EXPECT_EQ(form.centralWidget()->size(), QSize(690, 488));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zenrun 11.0"));
    const std::pair<Timer*, int> timers[] = {
        {form.mainshow.get(), 1000},        {form.Timer1.get(), 2000},
        {form.Timer2.get(), 1000},          {form.rast12.get(), 4000},
        {form.statuscheck.get(), 218000},   {form.dialupcheck.get(), 13000},
        {form.dialupstatus.get(), 1000},    {form.autodialstatus.get(), 20000},
        {form.autochangeline.get(), 30000}, {form.onechangetime.get(), 15000},
        {form.vercheck.get(), 15000}};
    for (const auto& [t, interval] : timers) {
        EXPECT_EQ(t->interval(), interval);
        EXPECT_FALSE(t->enabled());
    }
    // Menu items that are designed hidden stay hidden.
    EXPECT_FALSE(form.N10->isVisible());
    EXPECT_FALSE(form.H1->menuAction()->isVisible());
    EXPECT_FALSE(form.L2TPQ1->isVisible());
    EXPECT_FALSE(form.onechangeline->isVisible());
    EXPECT_FALSE(form.N5->isVisible());
    EXPECT_FALSE(form.N6->isVisible());
    EXPECT_TRUE(form.N14->isVisible());
    EXPECT_FALSE(form.com_game->isEnabled());
}

}  // namespace
