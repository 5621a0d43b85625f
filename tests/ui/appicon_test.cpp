#include "ui/appicon.h"

#include <gtest/gtest.h>

#include <QSystemTrayIcon>

#include "platform/sim/simclock.h"
#include "ui/mainwindow.h"

using namespace zenrun;

namespace {

TEST(AppIcon, HasEverySizeADesktopAsksFor) {
    const QIcon icon = appicon();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QPixmap pm = icon.pixmap(size, size);
        ASSERT_FALSE(pm.isNull()) << size;
        EXPECT_EQ(pm.size(), QSize(size, size));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    }
}

TEST(AppIcon, TheMainWindowAndItsTrayCarryIt) {
    SimClock clock;
    Tfrmmain form(clock);
    EXPECT_EQ(form.windowIcon().pixmap(32).toImage(), appicon().pixmap(32).toImage());
    EXPECT_EQ(form.RzTrayIcon1->icon().pixmap(32).toImage(), appicon().pixmap(32).toImage());
}

}  // namespace
