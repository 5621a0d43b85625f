// L2TP preparation, the forced repair and the dial-up service repair with its waits.
#include "core/langtext.h"
#include "vpnrig.h"

namespace zenrun::testing {
namespace {

using L2tp_ = VpnRig;

const QString kPrompt = QStringLiteral(
    "1、此台电脑是第一次使用L2TP模式，点击确定后将自动进行必要的参数设置，请稍等10秒左右\r\n\r\n"
    "2、如果导致您的网络断线或无法成功连接，请重新启动电脑再试");
const QString kHostCmd =
    QStringLiteral("xl2tpd -D -c /run/zenrun/xl2tpd.conf -p /run/zenrun/xl2tpd.pid");

std::optional<qint32> prohibit(const RegStore& r) {
    return r.readInteger(Hive::LocalMachine, kRasParametersKey, QStringLiteral("ProhibitIPSec"));
}

TEST_F(L2tp_, FirstUsePromptAndRepairOnlyWhenTheValueIsNotOne) {
    const struct {
        const char* name;
        std::function<void(RegStore&)> value;
        bool prompt;
    } cases[] = {
        {"missing", [](RegStore&) {}, true},
        {"zero",
         [](RegStore& r) {
             r.writeInteger(Hive::LocalMachine, kRasParametersKey, kProhibitIpSec, 0);
         },
         true},
        {"two",
         [](RegStore& r) {
             r.writeInteger(Hive::LocalMachine, kRasParametersKey, kProhibitIpSec, 2);
         },
         true},
        {"text",
         [](RegStore& r) {
             r.writeString(Hive::LocalMachine, kRasParametersKey, kProhibitIpSec, "1");
         },
         true},
        {"one",
         [](RegStore& r) {
             r.writeInteger(Hive::LocalMachine, kRasParametersKey, kProhibitIpSec, 1);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim.registry.deleteValue(Hive::LocalMachine, kRasParametersKey, kProhibitIpSec);
        sim.registry.createKey(Hive::LocalMachine, kRasParametersKey);
        c.value(sim.registry);
        sim.services.clearCalls();
        sim.services.addProcess(900, QStringLiteral("xl2tpd"), kHostCmd);
        sim.dialogs.boxes.clear();
        form->rb_lp2p->setChecked(true);
        const qint64 before = sim.clock.elapsedMs();
        connectTo(QStringLiteral("T1"));
        EXPECT_EQ(boxes(), c.prompt ? QStringList{kPrompt} : QStringList{});
        EXPECT_EQ(sim.services.calls().contains(QStringLiteral("terminate 900")), c.prompt);
        EXPECT_EQ(sim.clock.elapsedMs() - before >= 11000, c.prompt) << "the repair's waits";
        EXPECT_EQ(prohibit(sim.registry), 1);
        EXPECT_EQ(sim.ras.lastWritten().strategy, VpnStrategy::L2tpOnly) << "the connect went on";
        if (c.prompt) {
            EXPECT_EQ(status(), QStringLiteral("正在进行L2TP设置，请稍等10秒左右......"));
        }
        disconnect->btn_disconnClick();
        sim.services.terminate(900);
    }
}

TEST_F(L2tp_, APptpConnectNeverTouchesTheParameter) {
    connectTo(QStringLiteral("T1"));
    EXPECT_FALSE(sim.registry.keyExists(Hive::LocalMachine, kRasParametersKey));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(sim.services.calls().isEmpty());
}

TEST_F(L2tp_, TheParameterKeyExistsWhereTheL2tpDaemonIsInstalled) {
    for (bool installed : {false, true}) {
        Services::DialUpHost h = sim.services.dialUpHost();
        h.installed = installed;
        sim.services.setDialUpHost(h);
        l2tp->createparameterkey(sim.services);
        EXPECT_EQ(sim.registry.keyExists(Hive::LocalMachine, kRasParametersKey), installed);
        EXPECT_FALSE(
            sim.registry.valueExists(Hive::LocalMachine, kRasParametersKey, kProhibitIpSec));
    }
}

TEST_F(L2tp_, ForcedRepairAsksFirstAndEndsWithItsOwnWording) {
    const QString p = QStringLiteral("\r\n\r\n");
    const struct {
        int lang;
        MsgAnswer answer;
        QString question, done;
    } cases[] = {
        {1, MsgAnswer::No, "确定要强制生效L2TP的设置吗？", {}},
        {1, MsgAnswer::Yes, "确定要强制生效L2TP的设置吗？", "强制生效OK!" + p + "尝试继续连接"},
        {2, MsgAnswer::Yes, "Will force L2TP settings ?",
         "Have finished setting!" + p + "Try to connect"},
        {3, MsgAnswer::Yes, totraditional("确定要强制生效L2TP的设置吗？"),
         totraditional("强制生效完成,尝试继续连接")},
    };
    for (const auto& c : cases) {
        session.langindex = c.lang;
        sim.dialogs.boxes.clear();
        sim.services.clearCalls();
        sim.dialogs.queueAnswer(c.answer);
        l2tp->L2TPQ1Click();
        ASSERT_GE(sim.dialogs.boxes.size(), 1);
        EXPECT_EQ(sim.dialogs.boxes[0].text, c.question);
        EXPECT_EQ(sim.dialogs.boxes[0].icon, MsgIcon::Question);
        EXPECT_EQ(sim.dialogs.boxes[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(sim.dialogs.boxes[0].caption, QStringLiteral("Zenrun 11.0"));
        if (c.answer == MsgAnswer::No) {
            EXPECT_EQ(sim.dialogs.boxes.size(), 1);
            EXPECT_TRUE(sim.services.calls().isEmpty());
            EXPECT_FALSE(prohibit(sim.registry));
            continue;
        }
        ASSERT_EQ(sim.dialogs.boxes.size(), 2);
        EXPECT_EQ(sim.dialogs.boxes[1].text, c.done);
        EXPECT_EQ(sim.dialogs.boxes[1].icon, MsgIcon::Information);
        EXPECT_EQ(prohibit(sim.registry), 1) << "the key is created when missing";
    }
}

TEST_F(L2tp_, ProtocolLabelFollowsTheButtons) {
    for (int lang : {1, 2, 3}) {
        session.langindex = lang;
        l2tp->rb_lp2pClick();
        EXPECT_EQ(form->protocollabel->text(), langtext(lang, "Mode: L2TP", "连接方式:L2TP"));
        l2tp->rb_pptpClick();
        EXPECT_EQ(form->protocollabel->text(), langtext(lang, "Mode: Auto", "连接方式:自动"));
    }
}

using Repair_ = VpnRig;

TEST_F(Repair_, EndsOnlyTheFirstMatchingHostThenStartsTheDaemonsWithTheirWaits) {
    Services::DialUpHost h = sim.services.dialUpHost();
    h.services = {QStringLiteral("one"), QStringLiteral("two")};
    sim.services.setDialUpHost(h);
    sim.services.addProcess(10, QStringLiteral("xl2tpd"),
                            QStringLiteral("xl2tpd -c /etc/xl2tpd/xl2tpd.conf"));
    sim.services.addProcess(11, QStringLiteral("xl2tpd"), {});  // unreadable
    sim.services.addProcess(12, QStringLiteral("pppd"), kHostCmd);
    sim.services.addProcess(13, QStringLiteral("XL2TPD"), kHostCmd);
    sim.services.addProcess(14, QStringLiteral("xl2tpd"), kHostCmd);

    QStringList timeline;
    auto stamp = [&](const QString& what) {
        timeline << QStringLiteral("%1 %2").arg(sim.clock.elapsedMs()).arg(what);
    };
    auto t = sim.clock.createTimer(500);
    int ticks = 0;
    t->setHandler([&] { ++ticks; });
    t->setEnabled(true);
    repair->repairrasservice();
    stamp(QStringLiteral("done"));
    EXPECT_EQ(prohibit(sim.registry), 1);
    EXPECT_EQ(sim.services.calls(),
              (QStringList{"processes", "commandLine 10", "commandLine 11", "commandLine 13",
                           "terminate 13", "start one", "start one", "start two", "start two"}));
    EXPECT_TRUE(sim.services.running(14)) << "only the first match is ended";
    EXPECT_EQ(timeline, QStringList{"12000 done"}) << "1 s per daemon, then 10 s";
    EXPECT_GE(ticks, 23) << "timers ran during the waits";
}

TEST_F(Repair_, WithoutAHostOnlyTheValueIsWritten) {
    sim.services.addProcess(5, QStringLiteral("xl2tpd"),
                            QStringLiteral("xl2tpd -c /etc/xl2tpd/xl2tpd.conf"));
    repair->repairrasservice();
    EXPECT_EQ(prohibit(sim.registry), 1);
    EXPECT_EQ(sim.services.calls(), (QStringList{"processes", "commandLine 5"}));
    EXPECT_EQ(sim.clock.elapsedMs(), 0);
}

TEST_F(Repair_, ClosingTheProgramEndsTheWaitAtOnce) {
    sim.services.addProcess(7, QStringLiteral("xl2tpd"), kHostCmd);
    auto closer = sim.clock.createTimer(3000);
    closer->setHandler([&] { shuttingDown = true; });
    closer->setEnabled(true);
    repair->repairrasservice();
    EXPECT_LE(sim.clock.elapsedMs(), 3020);
    EXPECT_GE(sim.clock.elapsedMs(), 3000);
}

TEST(WaitMs, WaitsTheTimeAcrossTheTickCounterWrap) {
    // A clock whose tick count wraps during the wait.
    struct WrapClock : SimClock {
        std::uint32_t tickCount() const override {
            return static_cast<std::uint32_t>(0xFFFFFF00u +
                                              static_cast<std::uint32_t>(elapsedMs()));
        }
    } clock;
    waitms(clock, 1000, [] { return false; });
    EXPECT_EQ(clock.elapsedMs(), 1000);
    waitms(clock, 0, [] { return false; });
    EXPECT_EQ(clock.elapsedMs(), 1000);
}

}  // namespace
}  // namespace zenrun::testing
