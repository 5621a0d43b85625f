#include "ui/elidelabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

#include "platform/sim/simclock.h"
#include "ui/mainwindow.h"

using namespace zenrun;

namespace {

const QChar kEllipsis(0x2026);

// What the login puts into the account label: long enough that the strip cannot show it.
const QString kAccount = QStringLiteral(
    "用户名：demo  到期时间：2027-12-31  剩余流量：不限  账户类型：包月套餐（游戏专线）");

struct StatusStrip : ::testing::Test {
    SimClock clock;
    Tfrmmain form{clock};
    void SetUp() override {
        form.show();
        QApplication::processEvents();
    }
    // Connected: every label of the strip has its text.
    void fillStrip() {
        form.statuslabel->setText(QStringLiteral("已连接"));
        form.datalabel->setText(QStringLiteral("发送：1.2MB 接收：35.6MB 时长：00:12:31"));
        form.userlabel->setText(QStringLiteral("用户名：demo  到期时间：2027-12-31"));
        form.localiplabel->setText(QStringLiteral("本地IP为：127.0.0.1"));
        form.linelabel->setText(QStringLiteral("当前节点：上海电信1"));
    }
};

TEST_F(StatusStrip, EveryLabelOfTheStripShortensWithASign) {
    for (const char* name :
         {"statuslabel", "datalabel", "userlabel", "localiplabel", "linelabel", "protocollabel"}) {
        auto* l = form.Panel1->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(l, nullptr) << name;
        EXPECT_NE(qobject_cast<ElideLabel*>(l), nullptr) << name << " cuts its text silently";
    }
}

TEST_F(StatusStrip, ATooNarrowLabelShowsAnEllipsisAndTheWholeTextAsTooltip) {
    fillStrip();
    ElideLabel* l = form.userlabel;
    l->setText(kAccount);
    QApplication::processEvents();  // the strip shares its width anew
    ASSERT_GT(l->fontMetrics().horizontalAdvance(kAccount), l->contentsRect().width())
        << "the text should be too long for the strip";

    EXPECT_EQ(l->text(), kAccount);  // readers of the label see the whole text
    const QString shown = l->shownText();
    EXPECT_TRUE(shown.endsWith(kEllipsis)) << shown.toStdString();
    EXPECT_TRUE(kAccount.startsWith(shown.chopped(1))) << shown.toStdString();
    EXPECT_LE(l->fontMetrics().horizontalAdvance(shown), l->contentsRect().width());
    EXPECT_EQ(l->toolTip(), kAccount);

    // Hovering shows that tooltip.
    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), l->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(l, &hover);
    EXPECT_EQ(QToolTip::text(), kAccount);
    QToolTip::hideText();
}

TEST_F(StatusStrip, AShortTextIsShownWholeWithoutTooltip) {
    ElideLabel* l = form.userlabel;
    l->setText(kAccount);
    l->setText(QStringLiteral("用户名：demo"));
    EXPECT_EQ(l->shownText(), QStringLiteral("用户名：demo"));
    EXPECT_FALSE(l->isElided());
    EXPECT_TRUE(l->toolTip().isEmpty());
}

// The language switch and other floors set texts through plain QLabel pointers; the label
// still shortens what it paints and catches up with the tooltip when it paints.
TEST_F(StatusStrip, ATextSetThroughAQLabelPointerIsShortenedToo) {
    QLabel* plain = form.linelabel;
    plain->setText(QStringLiteral("当前节点：") + QString(40, QChar(u'线')));
    EXPECT_TRUE(form.linelabel->shownText().endsWith(kEllipsis));
    form.grab();
    EXPECT_EQ(form.linelabel->toolTip(), plain->text());
}

// The status label is red while a connection is being set up, and its texts then are long.
TEST_F(StatusStrip, AShortenedTextKeepsTheLabelsColour) {
    fillStrip();
    form.statuslabel->setStyleSheet(QStringLiteral("color: red;"));
    form.statuslabel->setText(
        QStringLiteral("Setting L2TP parameters, please wait for 10 seconds..."));
    QApplication::processEvents();
    ASSERT_TRUE(form.statuslabel->isElided());
    const QImage shot = form.statuslabel->grab().toImage();
    int red = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
        }
    EXPECT_GT(red, 20);
}

TEST(ElideLabel, FollowsItsWidth) {
    ElideLabel l(QStringLiteral("Expires: 2027-12-31"));
    const int full = l.fontMetrics().horizontalAdvance(l.text());
    l.resize(full / 2, 20);
    l.show();
    EXPECT_TRUE(l.isElided());
    EXPECT_EQ(l.toolTip(), l.text());
    l.resize(full + 10, 20);  // widened: the whole text fits again, the tooltip goes
    EXPECT_FALSE(l.isElided());
    EXPECT_TRUE(l.toolTip().isEmpty());
    l.resize(full / 2, 20);
    l.setToolTip(QStringLiteral("own hint"));  // a tooltip of its own is not taken away
    l.resize(full + 10, 20);
    EXPECT_EQ(l.toolTip(), QStringLiteral("own hint"));
}

TEST(ElideLabel, LeavesRichAndWrappedTextToQLabel) {
    ElideLabel rich(QStringLiteral("<b>到期时间</b>：2027-12-31 and more words"));
    rich.resize(20, 20);
    EXPECT_EQ(rich.shownText(), rich.text());
    ElideLabel wrapped(QStringLiteral("Expires: 2027-12-31 and more words"));
    wrapped.setWordWrap(true);
    wrapped.resize(20, 200);
    EXPECT_EQ(wrapped.shownText(), wrapped.text());
}

}  // namespace
