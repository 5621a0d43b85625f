// The change-line key chosen in the settings, grabbed on a real X server (Xvfb started by the
// test) and pressed with xdotool. Skips when either is missing.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include "platform/linux/x11hotkeys.h"
#include "platform/regstore.h"
#include "platform/sim/simdialogs.h"
#include "settingstest.h"
#include "xvfbdisplay.h"

using namespace zenrun;
using namespace zenrun::testing;

namespace {
QString gDisplay;

bool sendKey(const char* key) {
    return zenrun::testing::sendKey(gDisplay, key);
}

void settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

bool waitFor(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) settle(20);
    return done();
}
}  // namespace

TEST(SettingsHotKey, AfterSwitchingFromF6ToF8OnlyF8ChangesTheLine) {
    if (gDisplay.isEmpty()) GTEST_SKIP() << "Xvfb or xdotool not installed";
    Session session;
    RegStore registry;
    SimDialogs dialogs;
    X11HotKeys keys;
    int changes = 0;
    keys.setHandler([&](int) { ++changes; });

    {
        Opened d = openSettings(session, registry, dialogs, nullptr, keys);
        d.form->shortcutkeycheck->setChecked(true);
        d.form->sButton1->click();
    }
    ASSERT_TRUE(sendKey("F6"));
    ASSERT_TRUE(waitFor([&] { return changes == 1; }));

    {
        Opened d = openSettings(session, registry, dialogs, nullptr, keys);
        d.form->shortcutname->setEditText(QStringLiteral("F8"));
        d.form->sButton1->click();
    }
    ASSERT_TRUE(sendKey("F6"));
    ASSERT_TRUE(sendKey("F8"));
    EXPECT_TRUE(waitFor([&] { return changes == 2; }));
    settle(1000);  // a stray F6 would arrive by now
    EXPECT_EQ(changes, 2);

    {
        Opened d = openSettings(session, registry, dialogs, nullptr, keys);
        d.form->shortcutkeycheck->setChecked(false);
        d.form->sButton1->click();
    }
    ASSERT_TRUE(sendKey("F8"));
    settle(1000);
    EXPECT_EQ(changes, 2);
}

TEST(SettingsHotKey, ALowerCaseNameGrabsNothing) {
    if (gDisplay.isEmpty()) GTEST_SKIP() << "Xvfb or xdotool not installed";
    Session session;
    RegStore registry;
    SimDialogs dialogs;
    X11HotKeys keys;
    int changes = 0;
    keys.setHandler([&](int) { ++changes; });
    {
        Opened d = openSettings(session, registry, dialogs, nullptr, keys);
        d.form->shortcutkeycheck->setChecked(true);
        d.form->shortcutname->setEditText(QStringLiteral("f6"));
        d.form->sButton1->click();
    }
    EXPECT_EQ(session.shortcutkeycheck, QStringLiteral("2"));
    ASSERT_TRUE(sendKey("F6"));
    settle(1000);
    EXPECT_EQ(changes, 0);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QProcess xvfb;
    if (!::testing::GTEST_FLAG(list_tests)) gDisplay = zenrun::testing::startXvfb(xvfb);
    qputenv("QT_QPA_PLATFORM", gDisplay.isEmpty() ? "offscreen" : "xcb");
    if (!gDisplay.isEmpty()) qputenv("DISPLAY", gDisplay.toLocal8Bit());
    int rc = 0;
    {
        QApplication app(argc, argv);
        rc = RUN_ALL_TESTS();
    }
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return rc;
}
