#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <thread>

#include "linefixture.h"
#include "lines/lineorder.h"

using namespace zenrun;
using namespace zenrun::testing;

namespace {

struct LineView_ : ClientFixture {
    // One area whose lines sit in every delay band.
    void startWithBands() {
        lineList = QStringLiteral("[测速]\n");
        const char* names[] = {"快线", "边界200", "中线", "慢线", "很慢", "未测", "不通"};
        for (int i = 0; i < 7; ++i)
            lineList +=
                lineentry(QString::fromUtf8(names[i]), QStringLiteral("10.5.0.%1").arg(i + 1),
                          QStringLiteral("%1%,1,1").arg(90 + i));
        start();
        const char* delays[] = {"90", "200", "230", "280", "350", "NA", "禁ping"};
        for (int i = 0; i < 7; ++i)
            model().setDelay(view().lines()[static_cast<std::size_t>(i)],
                             QString::fromUtf8(delays[i]), i == 6);
    }
    QModelIndex indexOf(const QString& name, int column = 0) {
        return model().index(model().rowOf(row(name).get()), column);
    }
    void focus(const QString& name) { form().vt1->setCurrentIndex(indexOf(name)); }
    void mouse(QEvent::Type type, const QPoint& pos) {
        QMouseEvent e(type, pos, form().vt1->viewport()->mapToGlobal(pos), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(form().vt1->viewport(), &e);
    }
};

TEST_F(LineView_, HasTheColumnsAndSettingsOfTheLineList) {
    start();
    QTreeView* v = form().vt1;
    const QStringList headers = {"线路名称", "延时(ms)", "在线率", "L2TP"};
    const int widths[] = {155, 75, 70, 50};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(model().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
        EXPECT_EQ(v->header()->sectionSize(c), widths[c]);
    }
    EXPECT_EQ(v->header()->height(), 22);
    EXPECT_TRUE(v->header()->isSortIndicatorShown());
    EXPECT_EQ(v->header()->sortIndicatorSection(), 1);
    EXPECT_EQ(v->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_TRUE(v->header()->sectionsMovable());
    EXPECT_EQ(v->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(v->font().pixelSize(), 12);
    EXPECT_EQ(v->sizeHintForRow(0), 20);
    const QStringList captions = {"单个测速", "启动连接", "复制线路名称"};
    ASSERT_EQ(form().linemenu->actions().size(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(form().linemenu->actions()[i]->text(), captions[i]);
}

TEST_F(LineView_, HeadersAndPopupFollowTheLoginLanguage) {
    session.langindex = 2;
    start();
    const QStringList headers = {"Line name", "Delay(ms)", "Online rate", "L2TP"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(model().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
    // The language switch of the login window sets them through the model too.
    model().setHeaderData(0, Qt::Horizontal, QStringLiteral("線路名稱"));
    EXPECT_EQ(model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("線路名稱"));
    const QStringList captions = {"Speed test", "Connect", "copy line name"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(form().linemenu->actions()[i]->text(), captions[i]);
    EXPECT_EQ(view().lines().front()->l2tpstatus, QStringLiteral("yes"));
}

TEST_F(LineView_, AMouseClickOnTheHeaderSortsAndShowsOurDirection) {
    startWithBands();
    QHeaderView* h = form().vt1->header();
    QApplication::processEvents();
    const QPoint at(h->sectionViewportPosition(0) + 20, h->height() / 2);
    for (Qt::SortOrder expected : {Qt::DescendingOrder, Qt::AscendingOrder}) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, h->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
            QApplication::sendEvent(h->viewport(), &e);
        }
        EXPECT_EQ(view().sortColumn(), 0);
        EXPECT_EQ(view().sortDirection(), expected);
        EXPECT_EQ(h->sortIndicatorSection(), 0);
        EXPECT_EQ(h->sortIndicatorOrder(), expected);
    }
    EXPECT_EQ(view().lines().front()->name, QStringLiteral("不通"));
}

TEST_F(LineView_, HeaderClicksFlipTheDirectionOnEveryClick) {
    startWithBands();
    QHeaderView* h = form().vt1->header();
    struct Step {
        int column;
        Qt::SortOrder direction;
        QString first;
    };
    const Step steps[] = {
        {0, Qt::DescendingOrder, "边界200"},  // from the ascending start
        {0, Qt::AscendingOrder, "不通"},
        {1, Qt::DescendingOrder, "未测"},  // another column flips too
        {1, Qt::AscendingOrder, "快线"},
        {2, Qt::DescendingOrder, "不通"},
    };
    int sorted = 0;
    view().onSorted = [&] { ++sorted; };
    for (const Step& s : steps) {
        emit h->sectionClicked(s.column);
        EXPECT_EQ(view().sortColumn(), s.column);
        EXPECT_EQ(view().sortDirection(), s.direction);
        EXPECT_EQ(h->sortIndicatorSection(), s.column);
        EXPECT_EQ(h->sortIndicatorOrder(), s.direction);
        EXPECT_EQ(view().lines().front()->name, s.first);
    }
    EXPECT_EQ(sorted, 5);
}

TEST_F(LineView_, ClickingARowPicksItsLineInTheSelector) {
    startWithBands();
    QTreeView* v = form().vt1;
    v->viewport()->resize(v->viewport()->size());
    QApplication::processEvents();

    // A real click: the focus moves on the press, the line is picked after the release.
    const QPoint at = v->visualRect(indexOf(QStringLiteral("中线"))).center();
    mouse(QEvent::MouseButtonPress, at);
    mouse(QEvent::MouseButtonRelease, at);
    QApplication::processEvents();
    EXPECT_EQ(form().IPAddrTxt->currentText(), QStringLiteral("中线"));
    EXPECT_EQ(form().linelabel->text(), QStringLiteral("当前节点：中线"));

    // A right click, through the window system, opens the popup and leaves the focus.
    const QPoint other = v->visualRect(indexOf(QStringLiteral("快线"))).center();
    QSignalSpy popup(v, &QWidget::customContextMenuRequested);
    QTest::mouseClick(form().windowHandle(), Qt::RightButton, Qt::NoModifier,
                      v->viewport()->mapTo(&form(), other));
    QApplication::processEvents();
    EXPECT_EQ(popup.count(), 1);
    form().linemenu->hide();
    EXPECT_EQ(view().focusedNode()->name, QStringLiteral("中线"));
    EXPECT_EQ(form().IPAddrTxt->currentText(), QStringLiteral("中线"));

    // Double click does the same and nothing more.
    int connects = 0;
    view().onConnect = [&] { ++connects; };
    focus(QStringLiteral("慢线"));
    view().vt1DblClick();
    EXPECT_EQ(form().IPAddrTxt->currentText(), QStringLiteral("慢线"));
    EXPECT_EQ(connects, 0);

    // The selector matches names without regard to case; a name it lacks leaves it empty.
    form().IPAddrTxt->addItem(QStringLiteral("HK-Fast"));
    row(QStringLiteral("很慢"))->name = QStringLiteral("hk-fast");
    focus(QStringLiteral("hk-fast"));
    view().vt1Click();
    EXPECT_EQ(form().IPAddrTxt->currentText(), QStringLiteral("HK-Fast"));
    row(QStringLiteral("hk-fast"))->name = QStringLiteral("不在列表");
    focus(QStringLiteral("不在列表"));
    view().vt1Click();
    EXPECT_EQ(form().IPAddrTxt->currentIndex(), -1);
    EXPECT_EQ(form().linelabel->text(), QStringLiteral("当前节点："));

    // No focused row: the first line, the label unchanged.
    session.langindex = 2;
    form().vt1->setCurrentIndex({});
    view().vt1Click();
    EXPECT_EQ(form().IPAddrTxt->currentIndex(), 0);
    EXPECT_EQ(form().linelabel->text(), QStringLiteral("当前节点："));
    focus(QStringLiteral("快线"));
    view().vt1Click();
    EXPECT_EQ(form().linelabel->text(), QStringLiteral("Line:快线"));
}

TEST_F(LineView_, TheFocusedRowIsSettableAndStaysWithItsLineThroughASort) {
    startWithBands();
    const LineNode slow = row(QStringLiteral("很慢"));
    view().setFocusedNode(slow);
    EXPECT_EQ(view().focusedNode(), slow);
    view().setSort(1, Qt::DescendingOrder);
    view().sort();
    EXPECT_EQ(model().rowOf(slow.get()), 2);  // after "NA" and the failed line
    EXPECT_EQ(view().focusedNode(), slow);
    view().setFocusedNode({});
    EXPECT_FALSE(view().focusedNode());
}

TEST_F(LineView_, PopupItemsTestConnectAndCopyTheSelectorsLine) {
    start();
    int tests = 0, connects = 0;
    view().onSpeedTest = [&] { ++tests; };
    app->shell().seams().connect = [&] { ++connects; };
    view().N17->trigger();
    view().N18->trigger();
    EXPECT_EQ(tests, 1);
    EXPECT_EQ(connects, 1);

    form().IPAddrTxt->setCurrentIndex(1);
    view().N19->trigger();
    EXPECT_EQ(sim.dialogs.clipboardText(), QStringLiteral("上海02"));
    form().IPAddrTxt->clear();
    view().N19->trigger();
    EXPECT_EQ(sim.dialogs.clipboardText(), QString());
}

TEST_F(LineView_, ProbeResultsArriveAsQueuedUpdatesOnTheUiThread) {
    start();
    const LineNode line = view().lines().front();
    QSignalSpy changed(&model(), &QAbstractItemModel::dataChanged);
    std::thread worker([&] {
        model().postDelay(line, QStringLiteral("94"));
        model().postDelay(line, QStringLiteral("禁ping"), true);
    });
    worker.join();
    EXPECT_EQ(line->delay, QStringLiteral("NA"));  // nothing written off the UI thread
    QApplication::processEvents();
    EXPECT_EQ(line->delay, QStringLiteral("禁ping"));
    EXPECT_EQ(line->losttimes, 1);
    EXPECT_EQ(changed.count(), 2);

    // A result for a record of a list since rebuilt still lands in that record.
    const LineNode old = view().lines().back();
    std::thread late([&] { model().postDelay(old, QStringLiteral("120")); });
    late.join();
    choose(form().AreaTxt2, 1);
    QApplication::processEvents();
    EXPECT_EQ(old->delay, QStringLiteral("120"));
}

// Pixels of the painted list: every row in its delay band from the first to the last column.
TEST_F(LineView_, RowsArePaintedInTheirDelayBandAcrossTheWholeRow) {
    startWithBands();
    focus(QStringLiteral("未测"));
    QApplication::processEvents();
    const QImage img = form().vt1->viewport()->grab().toImage();
    QHeaderView* h = form().vt1->header();
    const std::pair<const char*, QColor> expected[] = {
        {"快线", QColor(0xAA, 0xFF, 0x9B)}, {"边界200", QColor(0xAA, 0xFF, 0x9B)},
        {"中线", QColor(0xC8, 0xFF, 0x96)}, {"慢线", QColor(0xE1, 0xFF, 0x8C)},
        {"很慢", QColor(0xF0, 0xFF, 0x8C)}, {"未测", kFocusFill},
        {"不通", QColor(0xA4, 0xA2, 0xA5)},
    };
    const qreal dpr = img.devicePixelRatio();
    for (const auto& [name, colour] : expected) {
        for (int column : {0, 3}) {
            SCOPED_TRACE(std::string(name) + " column " + std::to_string(column));
            const int x = h->sectionViewportPosition(column) + h->sectionSize(column) - 3;
            const int y = form().vt1->visualRect(indexOf(QString::fromUtf8(name))).top() + 3;
            EXPECT_EQ(img.pixelColor(QPoint(x, y) * dpr), colour);
        }
    }
}

// Saves a picture of the main window with lines in every band (build/screenshots).
TEST_F(LineView_, ScreenshotOfTheMainWindow) {
    startWithBands();
    view().sort();
    focus(QStringLiteral("中线"));
    view().vt1Click();
    QApplication::processEvents();
    const QString dir = QStringLiteral(ZENRUN_BUILD_DIR "/screenshots");
    QDir().mkpath(dir);
    EXPECT_TRUE(form().grab().save(dir + QStringLiteral("/linelist.png")));
}

}  // namespace
