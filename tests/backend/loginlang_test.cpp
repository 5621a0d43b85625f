#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeView>

#include "backend/localisation.h"
#include "core/textutil.h"
#include "loginrig.h"

namespace zenrun {
namespace {

using testing::LoginRig;

// The text a control shows, whatever kind of control it is.
QString shown(QObject* o) {
    if (auto* w = qobject_cast<QLabel*>(o)) return w->text();
    if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
    if (auto* a = qobject_cast<QAction*>(o)) return a->text();
    if (auto* m = qobject_cast<QMenu*>(o)) return m->title();
    return QStringLiteral("<no text>");
}

struct Row {
    bool login;  // else the main window
    const char* name;
    const char* chinese;
    const char* english;
    const char* traditionalSource = nullptr;  // converted instead of the Chinese text
};

// Every text the language switch sets, as the windows must show it.
const Row kTable[] = {
    {true, "sLabel1", "用户名:", "UserName:"},
    {true, "sLabel2", "密  码:", "Password:"},
    {true, "sLabel3", "语  言:", "Language:"},
    {true, "chkpass", "记住密码", "save pass"},
    {true, "sButton1", "帐户注册", "Register"},
    {true, "sButton3", "联系客服", "Service QQ"},
    {true, "btn_login", "登  录", "Login"},
    {true, "btn_exit", "关  闭", "Cancel"},
    {true, "Label3", "欢迎使用Zenrun 11.0", "Welcome to use Zenrun 11.0", "Zenrun 11.0"},
    {true, "sGroupBox1", "登录", "Login"},
    {false, "sLabel2", "地区:", "Area:"},
    {false, "sLabel3", "线路:", "Line:"},
    {false, "sLabel4", "协议:", "Protocol:"},
    {false, "sCheckBox1", "增强加密", "128bit Encryption"},
    {false, "sLabel5", "模式:", "Mode:"},
    {false, "btn_speed", "批量测速", "Bat Speed"},
    {false, "cesu", "单个测速", "Speed test"},
    {false, "statuslabel", "未连接", "Disconnected"},
    {false, "protocollabel", "连接方式: 自动", "Mode: auto"},
    {false, "N2", "用户管理", "User Management"},
    {false, "N11", "用户注册", "Register"},
    {false, "N4", "修改密码", "Update Password"},
    {false, "H1", "常见问题", "FAQ"},
    {false, "V1", "使用教程", "Tutorial"},
    {false, "A1", "常见问题", "FAQ"},
    {false, "N12", "用户须知", "Readme"},
    {false, "N13", "新闻公告", "News"},
    {false, "N1", "关于", "About"},
    {false, "O1", "刷新线路", "Refresh line"},
    {false, "N14", "刷新线路", "Refresh line"},
    {false, "N15", "高级设置", "Advanced settings"},
    {false, "N16", "高级设置", "Advanced settings"},
    {false, "N17", "单个测速", "Speed test"},
    {false, "N18", "启动连接", "Connect"},
    {false, "N19", "复制线路名称", "copy line name"},
    {false, "N9", "显示主界面", "Show Main Window"},
    {false, "N7", "退出", "Exit"},
    {false, "N8", "关于", "About"},
    {false, "btn_conn", "连 接", "Connect", "启 动"},
    {false, "btn_disconn", "断 开", "Disconnect"},
    {false, "linenamesearch", "搜索", "Search"},
};

const char* const kColumns[][2] = {{"线路名称", "Line name"},
                                   {"延时(ms)", "Delay(ms)"},
                                   {"在线率", "Online rate"},
                                   {"L2TP", "L2TP"}};

QString expected(int langindex, const char* chinese, const char* english,
                 const char* traditionalSource = nullptr) {
    if (langindex == 2) return QString::fromUtf8(english);
    if (langindex == 3)
        return totraditional(QString::fromUtf8(traditionalSource ? traditionalSource : chinese));
    return QString::fromUtf8(chinese);
}

// The line view adds its popup items; here the test stands in for it.
void addLineMenu(Tfrmmain& main) {
    for (const char* name : {"N17", "N18", "N19"}) {
        if (main.linemenu->findChild<QAction*>(QString::fromLatin1(name))) continue;
        QAction* a = main.linemenu->addAction(QStringLiteral("?"));
        a->setObjectName(QString::fromLatin1(name));
        a->setParent(main.linemenu);
    }
}

TEST(Localisation, EachLanguageSetsEveryTextOfBothWindows) {
    LoginRig rig;
    addLineMenu(rig.main);
    rig.open();
    // The user's choice in the list applies at once; go through every language and back.
    for (int index : {1, 2, 0, 2, 1}) {
        const int langindex = index + 1;
        SCOPED_TRACE("langindex " + std::to_string(langindex));
        rig.form->lang->setCurrentIndex(index);
        Q_EMIT rig.form->lang->activated(index);
        EXPECT_EQ(rig.session.langindex, langindex);

        for (const Row& r : kTable) {
            QObject* window = r.login ? static_cast<QObject*>(rig.form.get()) : &rig.main;
            QObject* control = window->findChild<QObject*>(QString::fromLatin1(r.name));
            ASSERT_NE(control, nullptr) << r.name;
            EXPECT_EQ(shown(control),
                      expected(langindex, r.chinese, r.english, r.traditionalSource))
                << (r.login ? "login " : "main ") << r.name;
        }
        for (int c = 0; c < 4; ++c) {
            ASSERT_NE(rig.main.vt1->model(), nullptr);
            EXPECT_EQ(rig.main.vt1->model()->headerData(c, Qt::Horizontal).toString(),
                      expected(langindex, kColumns[c][0], kColumns[c][1]))
                << "column " << c;
        }
        EXPECT_EQ(rig.main.routetype->currentText(), expected(langindex, "全局加速", "global"));
        EXPECT_EQ(rig.main.routetype->count(), 1);
        EXPECT_EQ(rig.form->windowTitle(), "Zenrun 11.0");
        EXPECT_EQ(rig.main.windowTitle(), "Zenrun 11.0");
    }
}

TEST(Localisation, TraditionalExceptionsUseTheirOwnSource) {
    // Checked only where the conversion really changes characters.
    if (totraditional(QStringLiteral("启动")) == QStringLiteral("启动"))
        GTEST_SKIP() << "character conversion not available in this build";
    LoginRig rig;
    rig.open();
    rig.form->lang->setCurrentIndex(2);
    rig.login->localisation().langChange();
    // The character table gives 启 its first traditional form.
    EXPECT_EQ(rig.main.btn_conn->text(), totraditional(QStringLiteral("启 动")));
    EXPECT_EQ(rig.main.btn_conn->text(), "啓 動");
    EXPECT_EQ(rig.form->Label3->text(), "Zenrun 11.0");
    EXPECT_EQ(rig.form->sLabel1->text(), "用戶名:");
}

TEST(Localisation, NoStoredLanguageKeepsTheDesignedTexts) {
    LoginRig rig;
    rig.open();
    EXPECT_EQ(rig.session.langindex, 0);
    EXPECT_EQ(rig.form->lang->currentIndex(), 0);
    EXPECT_EQ(rig.form->btn_login->text(), "登  陆");
    EXPECT_EQ(rig.form->sGroupBox1->title(), "登陆");
    EXPECT_EQ(rig.main.N2->title(), "帐户管理");
    EXPECT_EQ(rig.main.sCheckBox1->text(), "增加加密");
    EXPECT_EQ(rig.main.protocollabel->text(), "连接方式：自动");
    // Language 0 behaves as simplified Chinese in every message.
    rig.submit(QString(), QStringLiteral("pw"));
    ASSERT_EQ(rig.sp.dialogs.boxes.size(), 1);
    EXPECT_EQ(rig.sp.dialogs.boxes[0].text, "账号不能为空");
}

TEST(Localisation, DoubleClickTogglesBetweenTheFirstTwoItems) {
    const int cases[][2] = {{0, 1}, {1, 0}, {2, 0}};
    for (const auto& c : cases) {
        LoginRig rig;
        rig.open();
        rig.form->lang->setCurrentIndex(c[0]);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(rig.form->lang, &dbl);
        EXPECT_EQ(rig.form->lang->currentIndex(), c[1]) << "from " << c[0];
        EXPECT_EQ(rig.session.langindex, c[1] + 1);
        EXPECT_EQ(rig.main.btn_disconn->text(), c[1] == 1 ? "Disconnect" : "断 开");
    }
}

TEST(Localisation, MessagesConvertOnlyTheirChineseLiteral) {
    LoginRig rig;
    // Texts from outside contain characters that the conversion would change.
    rig.backend.loginReply = QStringLiteral("账户余额100元，会员级别：黄金");
    rig.backend.probePrimary = QStringLiteral("198.51.100.7-11.0-10.0.0.9-(x)-1");
    rig.open();
    rig.form->lang->setCurrentIndex(2);
    rig.login->localisation().langChange();
    rig.submit(QStringLiteral("张国荣"), QStringLiteral("pw"));
    ASSERT_TRUE(rig.session.loginok);
    EXPECT_EQ(rig.main.userlabel->text(),
              totraditional(QStringLiteral("用户名：")) + "张国荣  " + rig.backend.loginReply);
    EXPECT_EQ(rig.main.localiplabel->text(),
              totraditional(QStringLiteral("本地IP为：")) + "198.51.100.7");
    EXPECT_EQ(rig.main.statuslabel->text(), totraditional(QStringLiteral("未连接")));
    EXPECT_EQ(rig.session.userinfo, rig.backend.loginReply);
    EXPECT_EQ(rig.session.username, "张国荣");
    // Where the conversion works, these texts would have changed had they been converted.
    if (totraditional(QStringLiteral("户")) != QStringLiteral("户")) {
        EXPECT_NE(totraditional(rig.backend.loginReply), rig.backend.loginReply);
        EXPECT_NE(totraditional(QStringLiteral("张国荣")), QStringLiteral("张国荣"));
        EXPECT_TRUE(rig.main.userlabel->text().startsWith(QStringLiteral("用戶名：")));
    }
    // The traditional language asks for the traditional forms of the endpoints.
    EXPECT_EQ(rig.requestsTo(QStringLiteral("usercheckkiv11_tw.php")).size(), 1);
    EXPECT_EQ(rig.requestsTo(QStringLiteral("vpnlistkiv11_tw.php")).size(), 1);
}

TEST(Localisation, MessageBoxesFollowTheLanguage) {
    for (int index : {0, 1, 2}) {
        LoginRig rig;
        rig.backend.loginReply = QStringLiteral("error");
        rig.open();
        rig.form->lang->setCurrentIndex(index);
        rig.login->localisation().langChange();
        rig.submit(QStringLiteral("alice"), QStringLiteral("x"));
        ASSERT_EQ(rig.sp.dialogs.boxes.size(), 1);
        const QString want =
            expected(index + 1, "用户名或密码错误", "The user name or password is incorrect");
        EXPECT_EQ(rig.sp.dialogs.boxes[0].text, want);
        EXPECT_EQ(rig.form->Label3->text(), want);
        const char* suffix[] = {".php", "_en.php", "_tw.php"};
        EXPECT_EQ(rig.requestsTo(QStringLiteral("usercheckkiv11") + suffix[index]).size(), 1);
    }
}

TEST(Localisation, LanguageProbeButton) {
    LoginRig rig;
    rig.open();
    rig.form->Button1->click();
    QStringList texts;
    for (const auto& b : rig.sp.dialogs.boxes) texts << b.text;
    if (getsyslang() == 1)
        EXPECT_EQ(texts, (QStringList{"是简体", totraditional(QStringLiteral("汉字繁简转换")),
                                      tosimplified(QStringLiteral("漢字繁簡轉換"))}));
    else
        EXPECT_EQ(texts, QStringList{"其它"});
    EXPECT_EQ(rig.session.langindex, 0);
}

}  // namespace
}  // namespace zenrun
