// The advanced settings dialog on the simulated platform.
#include <gtest/gtest.h>

#include <QDir>

#include "core/appinfo.h"
#include "core/textutil.h"
#include "platform/sim/simplatform.h"
#include "settingstest.h"

using namespace zenrun;
using namespace zenrun::testing;

namespace {

const QString kKey = QStringLiteral("Software\\zididov");
const char* const kNames[] = {"shortcutkeycheck", "shortcutname", "shortcutdelcheck",
                              "aclcheck",         "acltime",      "acldelcheck",
                              "redialcheck",      "redialtime",   "taskmincheck"};

struct SettingsFixture : ::testing::Test {
    SimPlatform sim;
    Session session;
    Tmyrouters routerlist = Tmyrouters(kRouterCount);
    Dns dns{session, sim.dns, &sim.ras, routerlist};

    SettingsFixture() {
        session.routeenable = QStringLiteral("2");
        routerlist[0] = {QStringLiteral("203.0.113.9"), QStringLiteral("255.255.255.255"),
                         QStringLiteral("192.168.1.1")};
        sim.dns.setAdapters({{QStringLiteral("eth0"),
                              2,
                              QStringLiteral("192.168.1.1"),
                              {QStringLiteral("192.168.1.100")}}});
    }

    Opened open(bool show = true) {
        return openSettings(session, sim.registry, sim.dialogs, &dns, sim.hotkeys, show);
    }
    void storeSwitch(const char* name, int on) {
        sim.registry.writeInteger(Hive::CurrentUser, kKey, QString::fromLatin1(name), on);
    }
    void storeText(const char* name, const QString& text) {
        sim.registry.writeString(Hive::CurrentUser, kKey, QString::fromLatin1(name), text);
    }
    std::optional<QString> text(const char* name) {
        return sim.registry.readString(Hive::CurrentUser, kKey, QString::fromLatin1(name));
    }
    std::optional<qint32> number(const char* name) {
        return sim.registry.readInteger(Hive::CurrentUser, kKey, QString::fromLatin1(name));
    }
    bool nothingStored() {
        for (const char* n : kNames)
            if (sim.registry.valueExists(Hive::CurrentUser, kKey, QString::fromLatin1(n)))
                return false;
        return true;
    }
    QStringList boxTexts() const {
        QStringList out;
        for (const auto& b : sim.dialogs.boxes) out << b.text;
        return out;
    }
};

TEST_F(SettingsFixture, AnEmptyStoreOpensWithTheDefaults) {
    Opened d = open();
    TForm7& f = *d.form;
    for (QCheckBox* c :
         {f.aclcheck, f.acldelcheck, f.shortcutkeycheck, f.shortcutdelcheck, f.redialcheck})
        EXPECT_FALSE(c->isChecked()) << c->objectName().toStdString();
    EXPECT_TRUE(f.taskmincheck->isChecked());
    EXPECT_EQ(f.shortcutname->currentText(), QStringLiteral("F6"));
    EXPECT_EQ(f.acltime->text(), QStringLiteral("180"));
    EXPECT_EQ(f.redialtime->text(), QStringLiteral("30"));
    EXPECT_TRUE(f.sRadioButton1->isChecked());
    EXPECT_EQ(f.dnsiptxt->text(), QStringLiteral("202.96.128.86,202.96.134.33"));
    EXPECT_EQ(session.taskmincheck, QStringLiteral("2"));
    for (const QString* m : {&session.aclcheck, &session.acldelcheck, &session.shortcutkeycheck,
                             &session.shortcutdelcheck, &session.redialcheck})
        EXPECT_EQ(*m, QStringLiteral("1"));
    // Mirrors of texts follow only switches that are on.
    EXPECT_TRUE(session.acltime.isEmpty());
    EXPECT_TRUE(session.redialtime.isEmpty());
    EXPECT_TRUE(session.shortcutname.isEmpty());
    EXPECT_TRUE(sim.hotkeys.registered().isEmpty());
    EXPECT_EQ(f.shortcutname->count(), 9);
}

TEST_F(SettingsFixture, StoredOptionsReachTheControlsTheSessionAndTheHotKey) {
    storeSwitch("shortcutkeycheck", 1);
    storeText("shortcutname", QStringLiteral("END"));
    storeSwitch("shortcutdelcheck", 7);  // any non-zero value is on
    storeSwitch("aclcheck", 1);
    storeText("acltime", QStringLiteral("240"));
    storeSwitch("acldelcheck", 1);
    storeSwitch("redialcheck", 1);  // its text is missing: the edit is emptied
    storeSwitch("taskmincheck", 0);
    Opened d = open(false);  // the hidden start-up instance
    EXPECT_EQ(session.shortcutkeycheck, QStringLiteral("2"));
    EXPECT_EQ(session.shortcutname, QStringLiteral("END"));
    EXPECT_EQ(session.shortcutdelcheck, QStringLiteral("2"));
    EXPECT_EQ(session.aclcheck, QStringLiteral("2"));
    EXPECT_EQ(session.acltime, QStringLiteral("240"));
    EXPECT_EQ(session.acldelcheck, QStringLiteral("2"));
    EXPECT_EQ(session.redialcheck, QStringLiteral("2"));
    EXPECT_EQ(session.redialtime, QString());
    EXPECT_EQ(d.form->redialtime->text(), QString());
    EXPECT_EQ(session.taskmincheck, QStringLiteral("1"));
    EXPECT_EQ(sim.hotkeys.registered().value(0), 0x23u);
    EXPECT_FALSE(d.form->isVisible());
}

TEST_F(SettingsFixture, AFailingLoadStepLeavesTheOthersRunning) {
    storeText("aclcheck", QStringLiteral("yes"));  // a text where a switch belongs
    storeSwitch("redialcheck", 1);
    storeText("redialtime", QStringLiteral("45"));
    session.aclcheck = QStringLiteral("earlier");
    open();
    EXPECT_EQ(session.aclcheck, QStringLiteral("earlier"));
    EXPECT_EQ(session.redialtime, QStringLiteral("45"));
    EXPECT_EQ(session.taskmincheck, QStringLiteral("2"));
}

struct Case {
    bool acl;
    const char* acltime;
    bool redial;
    const char* redialtime;
    const char* message;  // English; null: accepted
};

TEST_F(SettingsFixture, ConfirmationChecksTheIntervalsAndSavesOnlyWhenAllPass) {
    const char* below30 = "Interval Time cannot be less than 30 seconds";
    const char* below15 = "auto redial Interval Time cannot be less than 15 seconds";
    const Case cases[] = {
        {true, "29", false, "30", below30},
        {true, "30", false, "30", nullptr},
        {false, "180", true, "14", below15},
        {false, "180", true, "15", nullptr},
        {true, "180", true, "30", "Auto redial and Auto Change IP cannot simultaneously enabled"},
        {false, "", false, "30", "Interval can not be empty"},
        {false, "180", false, "", "auto redial Interval can not be empty"},
        {false, "10", false, "30", below30},  // checked although the switch is off
        {false, "180", false, "5", below15},
        {true, "abc", false, "30", below30},
        {true, "45.5", false, "30", below30},
        {true, "1e3", false, "30", below30},
        {true, "99999999999", false, "30", below30},
        {false, "180", true, "x15", below15},
    };
    session.langindex = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.acltime) + " / " + c.redialtime);
        sim.registry = RegStore();
        sim.dialogs.boxes.clear();
        Opened d = open();
        d.form->aclcheck->setChecked(c.acl);
        d.form->acltime->setText(QString::fromLatin1(c.acltime));
        d.form->redialcheck->setChecked(c.redial);
        d.form->redialtime->setText(QString::fromLatin1(c.redialtime));
        d.form->sButton1->click();
        if (c.message) {
            ASSERT_EQ(sim.dialogs.boxes.size(), 1);
            EXPECT_EQ(sim.dialogs.boxes[0].text, QString::fromLatin1(c.message));
            EXPECT_EQ(sim.dialogs.boxes[0].caption, QString::fromUtf8(kAppTitle));
            EXPECT_EQ(sim.dialogs.boxes[0].icon, MsgIcon::Warning);
            EXPECT_TRUE(nothingStored());
            EXPECT_TRUE(d.form->isVisible());
        } else {
            EXPECT_TRUE(sim.dialogs.boxes.isEmpty());
            EXPECT_EQ(text("acltime"), QString::fromLatin1(c.acltime));
            EXPECT_EQ(text("redialtime"), QString::fromLatin1(c.redialtime));
            EXPECT_EQ(number("aclcheck"), c.acl ? 1 : 0);
            EXPECT_EQ(number("redialcheck"), c.redial ? 1 : 0);
            EXPECT_EQ(session.aclcheck, c.acl ? QStringLiteral("2") : QStringLiteral("1"));
            EXPECT_FALSE(d.form->isVisible());
            EXPECT_EQ(d.form->result(), QDialog::Accepted);
        }
    }
}

TEST_F(SettingsFixture, MessagesFollowTheLanguage) {
    const std::pair<int, QString> rows[] = {
        {0, QStringLiteral("间隔时间不能小于30秒")},
        {2, QStringLiteral("Interval Time cannot be less than 30 seconds")},
        {3, totraditional(QStringLiteral("间隔时间不能小于30秒"))},
    };
    for (const auto& [lang, message] : rows) {
        session.langindex = lang;
        sim.dialogs.boxes.clear();
        Opened d = open();
        d.form->acltime->setText(QStringLiteral("thirty"));
        d.form->sButton1->click();
        EXPECT_EQ(boxTexts(), QStringList{message});
    }
    session.langindex = 0;
    sim.dialogs.boxes.clear();
    Opened d = open();
    d.form->redialtime->setText(QStringLiteral("-"));
    d.form->sButton1->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("自动重拨间隔时间不能小于15秒")});
}

TEST_F(SettingsFixture, SwitchedOffTextsAreStoredButTheirMirrorsKeepTheEarlierText) {
    session.acltime = QStringLiteral("90");
    Opened d = open();
    d.form->acltime->setText(QStringLiteral("300"));
    d.form->shortcutname->setEditText(QStringLiteral("F9"));
    d.form->sButton1->click();
    EXPECT_EQ(text("acltime"), QStringLiteral("300"));
    EXPECT_EQ(text("shortcutname"), QStringLiteral("F9"));
    EXPECT_EQ(number("shortcutkeycheck"), 0);
    EXPECT_EQ(number("taskmincheck"), 1);
    EXPECT_EQ(session.acltime, QStringLiteral("90"));
    EXPECT_TRUE(session.shortcutname.isEmpty());
    EXPECT_TRUE(sim.hotkeys.registered().isEmpty());
}

TEST_F(SettingsFixture, TheDnsChoiceIsCarriedOutEvenWhenTheIntervalsAreRefused) {
    session.langindex = 0;
    Opened d = open();
    d.form->sRadioButton3->setChecked(true);
    d.form->acltime->setText(QStringLiteral("29"));
    d.form->sButton1->click();
    EXPECT_EQ(sim.dns.writes(),
              (QList<SimAdapterDns::Write>{{QStringLiteral("eth0"), {"8.8.8.8", "8.8.4.4"}}}));
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("间隔时间不能小于30秒")});
    EXPECT_TRUE(nothingStored());
    EXPECT_TRUE(d.form->isVisible());
    // The choice does not survive the dialog.
    Opened again = open();
    EXPECT_TRUE(again.form->sRadioButton1->isChecked());
}

TEST_F(SettingsFixture, ACustomListMustBeGivenAndMustBeAddresses) {
    const std::pair<const char*, const char*> rows[] = {
        {"", "DNS IP can not be empty"},
        {"8.8.8.8,evil.example", "Invalid DNS IP address"},
        {"8.8.8.8\nnameserver 6.6.6.6", "Invalid DNS IP address"},
    };
    session.langindex = 2;
    for (const auto& [typed, message] : rows) {
        sim.dialogs.boxes.clear();
        Opened d = open();
        d.form->sRadioButton6->setChecked(true);
        d.form->dnsiptxt->setText(QString::fromLatin1(typed));
        d.form->sButton1->click();
        EXPECT_EQ(boxTexts(), QStringList{QString::fromLatin1(message)}) << typed;
        EXPECT_TRUE(sim.dns.writes().isEmpty());
        EXPECT_TRUE(nothingStored());
    }
    session.langindex = 0;
    sim.dialogs.boxes.clear();
    Opened d = open();
    d.form->sRadioButton6->setChecked(true);
    d.form->dnsiptxt->setText(QStringLiteral("1.2.3.4;"));
    d.form->sButton1->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("DNS IP格式不正确")});

    sim.dialogs.boxes.clear();
    d.form->dnsiptxt->setText(QStringLiteral("1.2.3.4, 5.6.7.8"));
    d.form->sButton1->click();
    EXPECT_TRUE(sim.dialogs.boxes.isEmpty());
    EXPECT_EQ(sim.dns.writes(),
              (QList<SimAdapterDns::Write>{{QStringLiteral("eth0"), {"1.2.3.4", "5.6.7.8"}}}));
}

TEST_F(SettingsFixture, AnotherHotKeyReplacesTheFirstAndUncheckingReleasesIt) {
    Opened first = open();
    first.form->shortcutkeycheck->setChecked(true);
    first.form->sButton1->click();
    EXPECT_EQ(sim.hotkeys.registered(), (QMap<int, std::uint32_t>{{0, 0x75}}));

    Opened second = open();  // its creation registers F6 again
    EXPECT_EQ(second.form->shortcutname->currentText(), QStringLiteral("F6"));
    second.form->shortcutname->setEditText(QStringLiteral("F8"));
    second.form->sButton1->click();
    EXPECT_EQ(sim.hotkeys.registered(), (QMap<int, std::uint32_t>{{0, 0x77}}));
    EXPECT_FALSE(sim.hotkeys.press(0x75));
    EXPECT_TRUE(sim.hotkeys.press(0x77));
    EXPECT_EQ(session.shortcutname, QStringLiteral("F8"));

    Opened third = open();
    third.form->shortcutkeycheck->setChecked(false);
    third.form->sButton1->click();
    EXPECT_TRUE(sim.hotkeys.registered().isEmpty());
    EXPECT_EQ(session.shortcutkeycheck, QStringLiteral("1"));
}

TEST_F(SettingsFixture, AHotKeyNameIsMatchedExactly) {
    for (const char* name : {"F6", "F7", "F8", "F9", "F10", "F11", "F12", "HOME", "END"})
        EXPECT_TRUE(hotkeyfor(QString::fromLatin1(name))) << name;
    for (const char* name : {"f6", "F5", "Home", " F6", "F6 ", "F13", ""})
        EXPECT_FALSE(hotkeyfor(QString::fromLatin1(name))) << name;

    storeSwitch("shortcutkeycheck", 1);
    storeText("shortcutname", QStringLiteral("F7"));
    Opened d = open();
    ASSERT_EQ(sim.hotkeys.registered().value(0), 0x76u);
    d.form->shortcutname->setEditText(QStringLiteral("f6"));
    d.form->sButton1->click();
    EXPECT_EQ(text("shortcutname"), QStringLiteral("f6"));
    EXPECT_EQ(session.shortcutkeycheck, QStringLiteral("2"));
    EXPECT_EQ(session.shortcutname, QStringLiteral("f6"));
    EXPECT_TRUE(sim.hotkeys.registered().isEmpty());
    // And so after a restart.
    open(false);
    EXPECT_TRUE(sim.hotkeys.registered().isEmpty());
}

TEST_F(SettingsFixture, WhileConnectedOnlyTheDnsChoiceCanChange) {
    storeSwitch("aclcheck", 1);
    storeText("acltime", QStringLiteral("120"));
    session.connected = true;
    Opened d = open();
    TForm7& f = *d.form;
    for (QWidget* w : std::initializer_list<QWidget*>{
             f.sGroupBox1, f.aclcheck, f.sLabel1, f.acltime, f.sLabel2, f.acldelcheck, f.sGroupBox2,
             f.shortcutkeycheck, f.shortcutname, f.shortcutdelcheck, f.sGroupBox3, f.redialcheck,
             f.sLabel3, f.redialtime, f.sLabel4, f.sGroupBox4, f.taskmincheck})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.sGroupBox5, f.sRadioButton1, f.sRadioButton2,
                                         f.sRadioButton6, f.dnsiptxt, f.sButton1, f.sButton2})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    const QColor inactive = QApplication::palette().color(QPalette::Inactive, QPalette::Mid);
    for (QLabel* l : {f.sLabel1, f.sLabel2, f.sLabel3, f.sLabel4})
        EXPECT_EQ(l->palette().color(QPalette::Disabled, QPalette::WindowText), inactive);

    // Confirming stores the options as they were loaded.
    f.sRadioButton4->setChecked(true);
    f.sButton1->click();
    EXPECT_EQ(sim.dns.writes().size(), 1);
    EXPECT_EQ(number("aclcheck"), 1);
    EXPECT_EQ(text("acltime"), QStringLiteral("120"));
    EXPECT_EQ(number("taskmincheck"), 1);
    EXPECT_EQ(f.result(), QDialog::Accepted);
}

bool overlapping(const TForm7& f) {
    const QList<QWidget*> groups{f.sGroupBox1, f.sGroupBox2, f.sGroupBox3, f.sGroupBox4,
                                 f.sGroupBox5, f.sButton1,   f.sButton2};
    for (QWidget* a : groups)
        for (QWidget* b : groups)
            if (a != b && !a->isHidden() && !b->isHidden() &&
                a->geometry().intersects(b->geometry()))
                return true;
    return false;
}

TEST_F(SettingsFixture, WithoutRouteModesTheRotationGroupsHideAndTheRestMovesUp) {
    {
        Opened d = open();
        EXPECT_TRUE(d.form->sGroupBox1->isVisible());
        EXPECT_TRUE(d.form->sGroupBox2->isVisible());
        EXPECT_FALSE(overlapping(*d.form));
    }
    session.routeenable = QStringLiteral("1");
    storeSwitch("aclcheck", 1);
    storeText("acltime", QStringLiteral("20"));
    Opened d = open(false);
    TForm7& f = *d.form;
    const QRect one = f.sGroupBox1->geometry(), three = f.sGroupBox3->geometry();
    f.show();
    EXPECT_FALSE(f.sGroupBox1->isVisible());
    EXPECT_FALSE(f.sGroupBox2->isVisible());
    EXPECT_EQ(f.sGroupBox4->y(), three.y());
    EXPECT_EQ(f.sGroupBox3->x(), one.x());
    EXPECT_EQ(f.sGroupBox5->y(), one.y());
    EXPECT_FALSE(overlapping(f));
    // Hidden options still load and are still checked.
    EXPECT_EQ(session.acltime, QStringLiteral("20"));
    session.langindex = 2;
    f.sButton1->click();
    EXPECT_EQ(boxTexts(),
              QStringList{QStringLiteral("Interval Time cannot be less than 30 seconds")});
}

TEST_F(SettingsFixture, CaptionsFollowTheLanguage) {
    struct Row {
        int lang;
        QString title, interval, redial, clean;
    };
    const Row rows[] = {
        {0, QStringLiteral("高级设置"), QStringLiteral("时间间隔为："),
         QStringLiteral("重拨间隔时间："), QStringLiteral("换IP时自动清理IE缓存和Cookies")},
        {2, QStringLiteral("Advanced settings"), QStringLiteral("Interval:"),
         QStringLiteral("redial interval:"),
         QStringLiteral("Auto clean  IE cache and Cookies when change ip")},
        {3, totraditional(QStringLiteral("高级设置")), totraditional(QStringLiteral("时间间隔为:")),
         totraditional(QStringLiteral("重拨间隔时间:")),
         totraditional(QStringLiteral("换IP时自动清理IE缓存和Cookies"))},
    };
    for (const Row& r : rows) {
        session.langindex = r.lang;
        Opened d = open();
        EXPECT_EQ(d.form->windowTitle(), r.title);
        EXPECT_EQ(d.form->sLabel1->text(), r.interval);
        EXPECT_EQ(d.form->sLabel3->text(), r.redial);
        EXPECT_EQ(d.form->acldelcheck->text(), r.clean);
        EXPECT_EQ(d.form->shortcutdelcheck->text(), r.clean);
    }
    EXPECT_EQ(totraditional(QStringLiteral("高级设置")), QStringLiteral("高級設置"));
    Opened d = open();
    EXPECT_EQ(d.form->sRadioButton5->text(),
              totraditional(QStringLiteral("设置为安全DNS(114.114.114.119,114.114.115.119)")));
    // The hints are not translated.
    EXPECT_EQ(d.form->dnsiptxt->toolTip(),
              QStringLiteral("输入你想设置的DNS服务器IP地址，2个地址之间用逗号分开"));
}

TEST_F(SettingsFixture, CancelClosesWithoutSavingWhatWasLoadedStays) {
    storeSwitch("redialcheck", 1);
    storeText("redialtime", QStringLiteral("60"));
    Opened d = open();
    d.form->redialtime->setText(QStringLiteral("99"));
    d.form->sRadioButton3->setChecked(true);
    d.form->sButton2->click();
    EXPECT_EQ(d.form->result(), QDialog::Rejected);
    EXPECT_FALSE(d.form->isVisible());
    EXPECT_EQ(text("redialtime"), QStringLiteral("60"));
    EXPECT_EQ(session.redialtime, QStringLiteral("60"));
    EXPECT_TRUE(sim.dns.writes().isEmpty());
}

}  // namespace

namespace {

// Pictures for scripts/screenshot --settings: the dialog in each language, as it opens.
TEST_F(SettingsFixture, ScreenshotOfTheDialogInEachLanguage) {
    const QString dir = QStringLiteral(ZENRUN_BUILD_DIR "/screenshots");
    QDir().mkpath(dir);
    const std::pair<int, const char*> langs[] = {
        {0, "simplified"}, {2, "english"}, {3, "traditional"}};
    for (const auto& [lang, name] : langs) {
        session.langindex = lang;
        Opened d = open();
        QApplication::processEvents();
        EXPECT_TRUE(
            d.form->grab().save(dir + QStringLiteral("/settings-%1.png").arg(QLatin1String(name))));
    }
    session.langindex = 0;
    session.routeenable = QStringLiteral("1");
    session.connected = true;
    Opened d = open();
    QApplication::processEvents();
    EXPECT_TRUE(d.form->grab().save(dir + QStringLiteral("/settings-noroutes-connected.png")));
}

}  // namespace
