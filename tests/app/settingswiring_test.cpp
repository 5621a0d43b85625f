#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "linefixture.h"
#include "settings/settingsform.h"

using namespace zenrun;
using namespace zenrun::testing;

// The assembled client applies the stored options at start (hot key, DNS captured at first
// show), and the settings dialog opens from the menu and the tray.
TEST_F(ClientFixture, SettingsApplyAtStartAndOpenFromMenuAndTray) {
    sim.dns.setAdapters({{QStringLiteral("eth0"), 2, QStringLiteral("192.168.1.1"),
                          {QStringLiteral("192.168.1.100")}}});
    sim.dns.setLease(QStringLiteral("eth0"), {QStringLiteral("192.168.1.1")});
    sim.ipHelper.setRoutes({{0, 0, 0xC0A80101, 2, 1, 3, 100}});
    sim.registry.writeInteger(Hive::CurrentUser, QStringLiteral("Software\\zididov"),
                              QStringLiteral("shortcutkeycheck"), 1);
    sim.registry.writeString(Hive::CurrentUser, QStringLiteral("Software\\zididov"),
                             QStringLiteral("shortcutname"), QStringLiteral("F9"));
    session.serverhostip = QStringLiteral("203.0.113.9");
    start();
    EXPECT_EQ(session.localdnsip, QStringLiteral("192.168.1.1"));
    EXPECT_EQ(session.localdnstype, QStringLiteral("3"));
    EXPECT_EQ(session.taskmincheck, QStringLiteral("2"));
    EXPECT_EQ(sim.hotkeys.registered().values(), QList<std::uint32_t>{0x78});
    sim.dialogs.queueModal([](QDialog& d) {
        auto& f = static_cast<TForm7&>(d);
        f.show();
        f.shortcutname->setEditText(QStringLiteral("F8"));
        f.sRadioButton3->setChecked(true);
        f.sButton1->click();
        return f.result();
    });
    form().N15->trigger();
    EXPECT_EQ(sim.dialogs.modalsShown.last(), QStringLiteral("Form7"));
    EXPECT_EQ(sim.hotkeys.registered().values(), QList<std::uint32_t>{0x77});
    EXPECT_EQ(sim.dns.writes().size(), 1);
    sim.dialogs.queueModal([](QDialog& d) { return d.result(); });
    form().N16->trigger();
    EXPECT_EQ(sim.dialogs.modalsShown.size(), 2);
    EXPECT_EQ(sim.dialogs.modalsShown.last(), QStringLiteral("Form7"));
}
