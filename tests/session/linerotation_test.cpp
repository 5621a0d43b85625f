// Line rotation: its timings, the walk through the list in view order, the browser clean-up
// in the desktop user's home, and the lock after a one-click change.
#include "session/linerotation.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <optional>

#include "core/textutil.h"
#include "sessionrig.h"

namespace zenrun {
namespace {

using testing::SessionRig;
using testing::textcolour;

const QString kReady = QStringLiteral("正在准备连接下一条线路");
const QString kCleaning = QStringLiteral("正在清理缓存和cookies");
const QString kRefusal = QStringLiteral("你更换IP太频繁了，别累坏了，请稍等一下即可");

LineNode line(const QString& name, const QString& delay = QStringLiteral("NA")) {
    auto n = std::make_shared<ps>();
    n->name = name;
    n->delay = delay;
    return n;
}

struct RotationFixture : ::testing::Test {
    SessionRig rig;
    LineRotation rotation{rig.session, rig.sim.platform, rig.form, *rig.view, rig.actions};
    QTemporaryDir home;
    QString cookies;
    QString cached;

    void SetUp() override {
        Tfrmmain& f = rig.form;
        f.autochangeline->setHandler([this] { rotation.autochangelineTimer(); });
        f.onechangetime->setHandler([this] { rotation.onechangetimeTimer(); });
        // The link operations note what the window shows when they run.
        rig.actions.disconnect2 = [this] {
            rig.note(QStringLiteral("disconnect2 [%1]").arg(rig.form.statuslabel->text()));
        };
        rig.actions.reconnect2 = [this] {
            rig.note(QStringLiteral("reconnect2 %1 [%2]")
                         .arg(rig.form.IPAddrTxt->currentText(), rig.form.statuslabel->text()));
        };
        // A desktop user with a Firefox profile: its cookies and one cache file.
        ASSERT_TRUE(home.isValid());
        rig.sim.shell.home = home.path();
        cookies = home.path() + "/.mozilla/firefox/ab12.default/cookies.sqlite";
        cached = home.path() + "/.cache/mozilla/firefox/ab12.default/cache2/entries/0A1B";
        browse();
    }
    // The browser writes its cookies and cache.
    void browse() {
        for (const QString& file : {cookies, cached}) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }

    // Rows of the view and the items of the line selector.
    std::vector<LineNode> setLines(const QStringList& names) {
        std::vector<LineNode> rows;
        for (const QString& n : names) rows.push_back(line(n));
        rig.view->setLines(rows);
        rig.form.IPAddrTxt->clear();
        rig.form.IPAddrTxt->addItems(names);
        return rows;
    }
    qint64 now() const { return rig.sim.clock.elapsedMs(); }
    QString at(const char* what, qint64 ms) const {
        return QStringLiteral("%1 @%2").arg(QString::fromUtf8(what)).arg(ms);
    }
    bool clean() const { return !QFile::exists(cookies) && !QFile::exists(cached); }
};

TEST_F(RotationFixture, AutomaticChangeWaitsOneSecondThenOneThenTwo) {
    for (const bool cleaning : {true, false}) {
        SCOPED_TRACE(cleaning ? "cleaning" : "no cleaning");
        rig.trace.clear();
        browse();
        const auto rows = setLines({"上海01", "上海02", "杭州11"});
        rig.session.changenode = rows[0];  // connect set it to the line it dialled
        rig.session.aclcheck = QStringLiteral("2");
        rig.session.acldelcheck = QString::fromLatin1(cleaning ? "2" : "1");
        rig.form.autochangeline->setInterval(40000);
        rig.form.autochangeline->setEnabled(true);
        const qint64 tick = now() + 40000;
        std::optional<bool> cleanAt2000, cleanAt2001;
        rig.at(40000 + 2000, [&] { cleanAt2000 = clean(); });
        rig.at(40000 + 2001, [&] { cleanAt2001 = clean(); });
        rig.sim.clock.advance(40000 + 4000);

        if (cleaning) {
            EXPECT_EQ(rig.trace,
                      QStringList({at("disconnect2 [正在准备连接下一条线路]", tick + 1000),
                                   at("reconnect2 上海02 [正在清理缓存和cookies]", tick + 4000)}));
            EXPECT_EQ(cleanAt2000, false);
            EXPECT_EQ(cleanAt2001, true);
        } else {
            EXPECT_EQ(rig.trace,
                      QStringList({at("disconnect2 [正在准备连接下一条线路]", tick + 1000),
                                   at("reconnect2 上海02 [正在准备连接下一条线路]", tick + 3000)}));
            EXPECT_TRUE(QFile::exists(cookies) && QFile::exists(cached));
        }
        EXPECT_EQ(rig.session.changenode, rows[1]);
        EXPECT_EQ(rig.session.connnode, rows[1]);
        EXPECT_EQ(rig.view->focusedNode(), rows[1]);
        EXPECT_EQ(textcolour(rig.form.statuslabel), QColor(Qt::red));
        EXPECT_TRUE(rig.form.autochangeline->enabled());  // it keeps rotating
        rig.form.autochangeline->setEnabled(false);
    }
    // The cache folder stays for the browser; only what was in it went.
    EXPECT_TRUE(QFileInfo(home.path() + "/.cache/mozilla/firefox/ab12.default/cache2").isDir());
}

TEST_F(RotationFixture, NextLineFollowsTheViewAndWrapsToTheFirst) {
    struct Case {
        const char* name;
        QStringList rows;
        QStringList selector;
        QString from;  // "" no line yet; "*X" a record no longer listed, named X
        QString next;  // "" none
        int selected;  // index in the selector
    };
    const Case cases[] = {
        {"middle", {"A", "B", "C"}, {"A", "B", "C"}, "A", "B", 1},
        {"last wraps to the first", {"A", "B", "C"}, {"A", "B", "C"}, "C", "A", 0},
        {"no line yet", {"A", "B", "C"}, {"A", "B", "C"}, "", "A", 0},
        {"one line reconnects itself", {"A"}, {"A"}, "A", "A", 0},
        {"list refilled: the line by name", {"A", "B", "C"}, {"A", "B", "C"}, "*B", "C", 2},
        {"line gone from the list", {"A", "B", "C"}, {"A", "B", "C"}, "*Z", "A", 0},
        {"selector ignores case", {"us-la", "jp-1"}, {"JP-1", "US-LA"}, "jp-1", "us-la", 1},
        {"name not in the selector", {"A", "B"}, {"A"}, "A", "B", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.trace.clear();
        std::vector<LineNode> rows;
        for (const QString& n : c.rows) rows.push_back(line(n));
        rig.view->setLines(rows);
        rig.form.IPAddrTxt->clear();
        rig.form.IPAddrTxt->addItems(c.selector);
        LineNode from;
        for (const LineNode& n : rows)
            if (n->name == c.from) from = n;
        if (c.from.startsWith('*')) from = line(c.from.mid(1));
        rig.session.changenode = from;

        const qint64 start = now();
        rotation.changetonextline();
        ASSERT_TRUE(rig.session.changenode);
        EXPECT_EQ(rig.session.changenode->name, c.next);
        EXPECT_EQ(rig.session.connnode, rig.session.changenode);
        EXPECT_EQ(rig.view->focusedNode(), rig.session.changenode);
        EXPECT_EQ(rig.form.IPAddrTxt->currentIndex(), c.selected);
        ASSERT_EQ(rig.trace.size(), 1);
        EXPECT_TRUE(rig.trace[0].endsWith(QStringLiteral("@%1").arg(start + 2000)))
            << rig.trace[0].toStdString();
    }

    // An empty list: nothing to dial.
    rig.trace.clear();
    rig.view->setLines({});
    rig.session.changenode = line("A");
    rotation.changetonextline();
    EXPECT_FALSE(rig.session.changenode);
    EXPECT_TRUE(rig.trace.isEmpty());
}

TEST_F(RotationFixture, AfterASortByDelayRotationGoesFromFasterToSlower) {
    std::vector<LineNode> rows = {line("slow", "300"), line("fast", "20"), line("dead", "NA"),
                                  line("mid", "150")};
    rig.view->setLines(rows);
    rig.view->setSort(1, Qt::AscendingOrder);
    rig.view->sort();
    QStringList order;
    rig.session.changenode = {};
    for (int i = 0; i < 5; ++i) {
        rotation.changetonextline();
        order << rig.session.changenode->name;
    }
    EXPECT_EQ(order, QStringList({"fast", "mid", "slow", "dead", "fast"}));
}

TEST_F(RotationFixture, AutomaticChangeSwitchedOffKeepsTickingIdly) {
    setLines({"A", "B"});
    rig.session.changenode = rig.view->lines().front();
    rig.session.aclcheck = QStringLiteral("1");
    rig.session.acldelcheck = QStringLiteral("2");
    rig.form.statuslabel->setText(QStringLiteral("连接成功"));
    rig.form.autochangeline->setInterval(40000);
    rig.form.autochangeline->setEnabled(true);
    rig.sim.clock.advance(5 * 40000);
    EXPECT_TRUE(rig.trace.isEmpty());
    EXPECT_EQ(rig.form.statuslabel->text(), QStringLiteral("连接成功"));
    EXPECT_FALSE(clean());
    EXPECT_TRUE(rig.form.autochangeline->enabled());

    rig.session.aclcheck = QStringLiteral("2");  // switched on again: the next tick rotates
    rig.sim.clock.advance(40000 + 4000);
    EXPECT_EQ(rig.trace.size(), 2);
}

TEST_F(RotationFixture, OneClickChangeStartsFromTheFocusedLineThenLocksFor27Seconds) {
    const auto rows = setLines({"A", "B", "C"});
    rig.session.shortcutkeycheck = QStringLiteral("2");
    rig.session.shortcutdelcheck = QStringLiteral("1");
    rig.session.changenode = rows[0];  // stale: the user has since clicked B
    rig.view->setFocusedNode(rows[1]);
    std::optional<QString> changeAtDisconnect;
    rig.actions.disconnect2 = [&] {
        changeAtDisconnect = rig.session.changenode->name + rig.session.connnode->name;
        rig.note(QStringLiteral("disconnect2 [%1]").arg(rig.form.statuslabel->text()));
    };

    const qint64 press = now();
    rotation.onechangelineClick();
    const qint64 lock = press + 4000;
    EXPECT_EQ(rig.trace, QStringList({at("disconnect2 [正在准备连接下一条线路]", press + 2000),
                                      at("reconnect2 C [正在准备连接下一条线路]", lock)}));
    EXPECT_EQ(changeAtDisconnect, QStringLiteral("BB"));
    EXPECT_EQ(rig.session.changenode, rows[2]);
    EXPECT_EQ(now(), lock);
    EXPECT_TRUE(rig.form.onechangetime->enabled());
    EXPECT_FALSE(clean());  // cleaning is off for the hot key

    // Presses during the lock get the box and nothing else; the lock is not extended.
    rig.trace.clear();
    for (int after : {1, 15000, 26000, 27000})
        rig.at(after, [&] { rotation.onechangelineClick(); });
    rig.at(27001, [&] { rotation.onechangelineClick(); });
    rig.sim.clock.advance(27001);
    ASSERT_EQ(rig.sim.dialogs.boxes.size(), 4);
    for (const SimDialogs::Box& box : rig.sim.dialogs.boxes) {
        EXPECT_EQ(box.caption, QStringLiteral("Zenrun 11.0"));
        EXPECT_EQ(box.text, kRefusal);
        EXPECT_EQ(box.icon, MsgIcon::Warning);
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
    }
    EXPECT_EQ(rig.trace,
              QStringList({at("disconnect2 [正在准备连接下一条线路]", lock + 27001 + 2000),
                           at("reconnect2 A [正在准备连接下一条线路]", lock + 27001 + 4000)}));
}

TEST_F(RotationFixture, PressesWhileAOneClickChangeRunsAreIgnored) {
    setLines({"A", "B", "C"});
    rig.session.shortcutkeycheck = QStringLiteral("2");
    rig.view->setFocusedNode(rig.view->lines().front());
    // A held key: the press repeats during the change's waits.
    for (int after : {500, 1000, 2500, 3999}) rig.at(after, [&] { rotation.onechangelineClick(); });
    const qint64 press = now();
    rotation.onechangelineClick();
    EXPECT_EQ(rig.trace, QStringList({at("disconnect2 [正在准备连接下一条线路]", press + 2000),
                                      at("reconnect2 B [正在准备连接下一条线路]", press + 4000)}));
    EXPECT_TRUE(rig.sim.dialogs.boxes.isEmpty());
}

TEST_F(RotationFixture, OneClickCleansFirstThenDisconnects) {
    const auto rows = setLines({"A", "B"});
    rig.session.shortcutkeycheck = QStringLiteral("2");
    rig.session.shortcutdelcheck = QStringLiteral("2");
    rig.view->setFocusedNode(rows[1]);
    std::optional<bool> cleanAtDisconnect;
    rig.actions.disconnect2 = [&] {
        cleanAtDisconnect = clean();
        rig.note(QStringLiteral("disconnect2 [%1]").arg(rig.form.statuslabel->text()));
    };
    const qint64 press = now();
    rotation.onechangelineClick();
    EXPECT_EQ(rig.trace, QStringList({at("disconnect2 [正在清理缓存和cookies]", press + 3000),
                                      at("reconnect2 A [正在清理缓存和cookies]", press + 5000)}));
    EXPECT_EQ(cleanAtDisconnect, true);
    EXPECT_TRUE(rig.form.onechangetime->enabled());
}

TEST_F(RotationFixture, HotKeyOptionOffStillStartsTheLock) {
    setLines({"A", "B"});
    rig.session.shortcutkeycheck = QStringLiteral("1");
    rig.form.statuslabel->setText(QStringLiteral("未连接"));
    const qint64 press = now();
    rotation.onechangelineClick();
    EXPECT_EQ(now(), press);
    EXPECT_TRUE(rig.trace.isEmpty());
    EXPECT_EQ(rig.form.statuslabel->text(), QStringLiteral("未连接"));
    EXPECT_TRUE(rig.form.onechangetime->enabled());
    rotation.onechangelineClick();
    EXPECT_EQ(rig.sim.dialogs.boxes.size(), 1);
}

TEST_F(RotationFixture, TextsInTheThreeLanguages) {
    struct Case {
        int lang;
        QString ready, cleaning, refusal;
    };
    const Case cases[] = {
        {2, "ready to connect next line...", "cleaning IE cache and cookies",
         "You replace the IP too much, do not tired, please wait a moment"},
        {1, kReady, kCleaning, kRefusal},
        {3, totraditional(kReady), totraditional(kCleaning), totraditional(kRefusal)},
    };
    setLines({"A", "B"});
    rig.session.aclcheck = QStringLiteral("2");
    rig.session.acldelcheck = QStringLiteral("2");
    for (const Case& c : cases) {
        rig.session.langindex = c.lang;
        rig.trace.clear();
        rig.sim.dialogs.boxes.clear();
        rotation.autochangelineTimer();
        ASSERT_EQ(rig.trace.size(), 2);
        EXPECT_TRUE(rig.trace[0].contains("[" + c.ready + "]")) << rig.trace[0].toStdString();
        EXPECT_TRUE(rig.trace[1].contains("[" + c.cleaning + "]")) << rig.trace[1].toStdString();
        rig.form.onechangetime->setEnabled(true);
        rotation.onechangelineClick();
        ASSERT_EQ(rig.sim.dialogs.boxes.size(), 1);
        EXPECT_EQ(rig.sim.dialogs.boxes[0].text, c.refusal);
        rig.form.onechangetime->setEnabled(false);
    }
}

}  // namespace
}  // namespace zenrun
