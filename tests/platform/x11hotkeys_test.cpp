// The global key grab on a real X server: Xvfb started by the test, a key press sent with
// xdotool. Skips when either is missing.
#include "platform/linux/x11hotkeys.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include "xvfbdisplay.h"

using namespace zenrun;

namespace {
QString gDisplay;

bool sendKey(const char* key) {
    return zenrun::testing::sendKey(gDisplay, key);
}

bool waitFor(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    return done();
}
}  // namespace

TEST(X11HotKeys, APressOfTheGrabbedKeyReachesTheHandler) {
    if (gDisplay.isEmpty()) GTEST_SKIP() << "Xvfb or xdotool not installed";
    X11HotKeys keys;
    QList<int> pressed;
    keys.setHandler([&](int id) { pressed.append(id); });
    const int atom = keys.addAtom(QStringLiteral("MyHotKey"));
    EXPECT_EQ(atom, 0xC000);
    ASSERT_TRUE(keys.registerKey(atom - 0xC000, 0x78));  // F9
    // The same key cannot be taken twice.
    EXPECT_FALSE(keys.registerKey(5, 0x78));

    ASSERT_TRUE(sendKey("F9"));
    EXPECT_TRUE(waitFor([&] { return !pressed.isEmpty(); }));
    EXPECT_EQ(pressed, QList<int>{0});

    // Other keys and a released key do not arrive.
    ASSERT_TRUE(sendKey("F10"));
    ASSERT_TRUE(keys.unregisterKey(0));
    ASSERT_TRUE(sendKey("F9"));
    waitFor([] { return false; }, 1000);  // give stray events time to arrive
    EXPECT_EQ(pressed.size(), 1);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QProcess xvfb;
    if (!::testing::GTEST_FLAG(list_tests)) gDisplay = zenrun::testing::startXvfb(xvfb);
    int rc = 0;
    if (gDisplay.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        rc = RUN_ALL_TESTS();
    } else {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", gDisplay.toLocal8Bit());
        QApplication app(argc, argv);
        rc = RUN_ALL_TESTS();
    }
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return rc;
}
