#include "backend/localisation.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTreeView>

#include "backend/loginform.h"
#include "core/appinfo.h"
#include "core/langtext.h"
#include "core/session.h"
#include "platform/dialogs.h"
#include "ui/mainwindow.h"

namespace zenrun {

namespace {
QString tr3(const Session& s, const char* english, const char* chinese) {
    return langtext(s, QString::fromUtf8(english), QString::fromUtf8(chinese));
}

// Writes a text into whatever kind of control carries it.
void settext(QObject* control, const QString& text) {
    if (auto* w = qobject_cast<QLabel*>(control))
        w->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(control))
        b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(control))
        g->setTitle(text);
    else if (auto* a = qobject_cast<QAction*>(control))
        a->setText(text);
    else if (auto* m = qobject_cast<QMenu*>(control))
        m->setTitle(text);
}

struct Text {
    QObject* control;
    const char* chinese;
    const char* english;
};
}  // namespace

QString apptitle(const Session& session) {
    const QString title = QString::fromUtf8(kAppTitle);
    return langtext(session, title, title);
}

QString vt1columntext(const Session& session, int column) {
    switch (column) {
        case 0:
            return tr3(session, "Line name", "线路名称");
        case 1:
            return tr3(session, "Delay(ms)", "延时(ms)");
        case 2:
            return tr3(session, "Online rate", "在线率");
        case 3:
            return tr3(session, "L2TP", "L2TP");
        default:
            return {};
    }
}

Localisation::Localisation(Session& session, Dialogs& dialogs, Tfrmlogin& login, Tfrmmain& main)
    : session_(session), dialogs_(dialogs), login_(login), main_(main) {
    // `activated` is the user's choice only; programmatic selections apply explicitly.
    QObject::connect(login_.lang, &QComboBox::activated, &login_, [this] { langChange(); });
    login_.onLangDblClick = [this] { langDblClick(); };
    QObject::connect(login_.Button1, &QPushButton::clicked, &login_, [this] { Button1Click(); });
}

void Localisation::langChange() {
    const int index = login_.lang->currentIndex();
    if (index < 0) return;
    session_.langindex = index + 1;
    applyLogin();
    login_.setWindowTitle(apptitle(session_));
    main_.setWindowTitle(apptitle(session_));
    applyMain();
}

void Localisation::applyLogin() {
    const Text texts[] = {
        {login_.sLabel1, "用户名:", "UserName:"},  {login_.sLabel2, "密  码:", "Password:"},
        {login_.sLabel3, "语  言:", "Language:"},  {login_.chkpass, "记住密码", "save pass"},
        {login_.sButton1, "帐户注册", "Register"}, {login_.sButton3, "联系客服", "Service QQ"},
        {login_.btn_login, "登  录", "Login"},     {login_.btn_exit, "关  闭", "Cancel"},
        {login_.sGroupBox1, "登录", "Login"},
    };
    for (const Text& t : texts) settext(t.control, tr3(session_, t.english, t.chinese));
    // Traditional Chinese shows the bare title instead of the welcome line.
    login_.Label3->setText(session_.langindex == 3 ? totraditional(QString::fromUtf8(kAppTitle))
                                                   : tr3(session_, "Welcome to use Zenrun 11.0",
                                                         "欢迎使用Zenrun 11.0"));
}

void Localisation::applyMain() {
    Tfrmmain& m = main_;
    const Text texts[] = {
        {m.sLabel2, "地区:", "Area:"},
        {m.sLabel3, "线路:", "Line:"},
        {m.sLabel4, "协议:", "Protocol:"},
        {m.sCheckBox1, "增强加密", "128bit Encryption"},
        {m.sLabel5, "模式:", "Mode:"},
        {m.btn_speed, "批量测速", "Bat Speed"},
        {m.cesu, "单个测速", "Speed test"},
        {m.statuslabel, "未连接", "Disconnected"},
        {m.protocollabel, "连接方式: 自动", "Mode: auto"},
        {m.N2, "用户管理", "User Management"},
        {m.N11, "用户注册", "Register"},
        {m.N4, "修改密码", "Update Password"},
        {m.H1, "常见问题", "FAQ"},
        {m.V1, "使用教程", "Tutorial"},
        {m.A1, "常见问题", "FAQ"},
        {m.N12, "用户须知", "Readme"},
        {m.N13, "新闻公告", "News"},
        {m.N1, "关于", "About"},
        {m.O1, "刷新线路", "Refresh line"},
        {m.N14, "刷新线路", "Refresh line"},
        {m.N15, "高级设置", "Advanced settings"},
        {m.N16, "高级设置", "Advanced settings"},
        // The line list's popup items belong to the line view, which may not exist yet.
        {m.linemenu->findChild<QAction*>(QStringLiteral("N17")), "单个测速", "Speed test"},
        {m.linemenu->findChild<QAction*>(QStringLiteral("N18")), "启动连接", "Connect"},
        {m.linemenu->findChild<QAction*>(QStringLiteral("N19")), "复制线路名称", "copy line name"},
        {m.N9, "显示主界面", "Show Main Window"},
        {m.N7, "退出", "Exit"},
        {m.N8, "关于", "About"},
        {m.btn_disconn, "断 开", "Disconnect"},
        {m.linenamesearch, "搜索", "Search"},
    };
    for (const Text& t : texts)
        if (t.control) settext(t.control, tr3(session_, t.english, t.chinese));

    // The route-mode selector's single designed item names global mode; once a route list
    // has replaced the items with its modes, their names come from the back-end and stay.
    if (session_.routeini.isEmpty()) {
        const QSignalBlocker quiet(m.routetype);
        if (m.routetype->count() == 0) m.routetype->addItem(QString());
        m.routetype->setItemText(0, tr3(session_, "global", "全局加速"));
    }

    // Traditional Chinese names the connect button "启 动".
    m.btn_conn->setText(session_.langindex == 3 ? totraditional(QStringLiteral("启 动"))
                                                : tr3(session_, "Connect", "连 接"));

    // Column headers: the line view's model when it has one, else a holder of the headers.
    QAbstractItemModel* model = m.vt1->model();
    if (!model) {
        model = new QStandardItemModel(0, 4, m.vt1);
        m.vt1->setModel(model);
    }
    for (int c = 0; c < 4; ++c) model->setHeaderData(c, Qt::Horizontal, vt1columntext(session_, c));
    Q_EMIT model->headerDataChanged(Qt::Horizontal, 0, 3);
}

void Localisation::langDblClick() {
    login_.lang->setCurrentIndex(login_.lang->currentIndex() == 0 ? 1 : 0);
    langChange();
}

void Localisation::Button1Click() {
    const QString caption = apptitle(session_);
    auto show = [&](const QString& text) {
        dialogs_.messageBox(caption, text, MsgIcon::None, MsgButtons::Ok);
    };
    if (getsyslang() == 1) {
        show(QStringLiteral("是简体"));
        show(totraditional(QStringLiteral("汉字繁简转换")));
        show(tosimplified(QStringLiteral("漢字繁簡轉換")));
    } else {
        show(QStringLiteral("其它"));
    }
}

}  // namespace zenrun
