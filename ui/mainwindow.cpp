#include "ui/mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTreeView>

#include "core/appinfo.h"
#include "ui/appicon.h"
#include "ui/elidelabel.h"
#include "ui/striplayout.h"
#include "ui/webpane.h"

namespace zenrun {

namespace {
constexpr int kClientWidth = 690;
constexpr int kClientHeight = 488;

template <typename W>
W* place(W* w, int x, int y, int width, int height) {
    w->setGeometry(x, y, width, height);
    return w;
}
}  // namespace

Tfrmmain::Tfrmmain(Clock& clock, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QString::fromUtf8(kAppTitle));
    buildControls();
    buildOffstage();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);  // not resizable

    auto timer = [&clock](int interval) { return clock.createTimer(interval); };
    mainshow = timer(1000);
    Timer1 = timer(2000);
    Timer2 = timer(1000);
    rast12 = timer(4000);
    statuscheck = timer(218000);
    dialupcheck = timer(13000);
    dialupstatus = timer(1000);
    autodialstatus = timer(20000);
    autochangeline = timer(30000);
    onechangetime = timer(15000);
    vercheck = timer(15000);
}

Tfrmmain::~Tfrmmain() = default;

void Tfrmmain::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    web1 = place(new WebPane(client), 0, 0, kClientWidth, 96);
    web1->setObjectName(QStringLiteral("web1"));

    GroupBox2 = place(new QGroupBox(client), 6, 100, 250, 222);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    rb_pptp = place(new QRadioButton(QStringLiteral("PPTP"), GroupBox2), 12, 20, 80, 22);
    rb_pptp->setObjectName(QStringLiteral("rb_pptp"));
    rb_pptp->setChecked(true);
    rb_lp2p = place(new QRadioButton(QStringLiteral("L2TP"), GroupBox2), 120, 20, 80, 22);
    rb_lp2p->setObjectName(QStringLiteral("rb_lp2p"));
    AreaTxt2 = place(new QComboBox(GroupBox2), 12, 48, 226, 26);
    AreaTxt2->setObjectName(QStringLiteral("AreaTxt2"));
    IPAddrTxt = place(new QComboBox(GroupBox2), 12, 80, 226, 26);
    IPAddrTxt->setObjectName(QStringLiteral("IPAddrTxt"));
    sLabel5 = place(new QLabel(GroupBox2), 12, 116, 70, 22);
    sLabel5->setObjectName(QStringLiteral("sLabel5"));
    routetype = place(new QComboBox(GroupBox2), 84, 114, 154, 26);
    routetype->setObjectName(QStringLiteral("routetype"));
    routetype->addItem(QStringLiteral("全局加速"));  // item 0 is always the global mode
    btn_speed = place(new QPushButton(QStringLiteral("批量测速"), GroupBox2), 12, 150, 108, 28);
    btn_speed->setObjectName(QStringLiteral("btn_speed"));
    cesu = place(new QPushButton(QStringLiteral("单个测速"), GroupBox2), 130, 150, 108, 28);
    cesu->setObjectName(QStringLiteral("cesu"));
    sCheckBox1 = place(new QCheckBox(QStringLiteral("增加加密"), GroupBox2), 12, 188, 200, 22);
    sCheckBox1->setObjectName(QStringLiteral("sCheckBox1"));

    btn_conn = place(new QPushButton(QStringLiteral("连 接"), client), 6, 328, 122, 34);
    btn_conn->setObjectName(QStringLiteral("btn_conn"));
    btn_disconn = place(new QPushButton(QStringLiteral("断 开"), client), 134, 328, 122, 34);
    btn_disconn->setObjectName(QStringLiteral("btn_disconn"));
    btn_disconn->setEnabled(false);
    btn_conn2 = place(new QPushButton(QStringLiteral("连 接"), client), 6, 328, 122, 34);
    btn_conn2->setObjectName(QStringLiteral("btn_conn2"));
    btn_conn2->hide();

    web2 = place(new WebPane(client), 6, 368, 250, 90);
    web2->setObjectName(QStringLiteral("web2"));

    linenametxt = place(new QLineEdit(client), 262, 102, 336, 26);
    linenametxt->setObjectName(QStringLiteral("linenametxt"));
    linenamesearch = place(new QPushButton(QStringLiteral("搜索"), client), 604, 101, 80, 28);
    linenamesearch->setObjectName(QStringLiteral("linenamesearch"));

    vt1 = place(new QTreeView(client), 262, 134, 422, 324);
    vt1->setObjectName(QStringLiteral("vt1"));
    vt1->setRootIsDecorated(false);
    vt1->setContextMenuPolicy(Qt::CustomContextMenu);

    sButton1 = place(new QPushButton(QStringLiteral("加载路由表"), client), 262, 134, 100, 28);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->hide();
    sButton2 = place(new QPushButton(QStringLiteral("删除路由表"), client), 366, 134, 100, 28);
    sButton2->setObjectName(QStringLiteral("sButton2"));
    sButton2->hide();

    Panel1 = place(new QFrame(client), 0, 462, kClientWidth, 26);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    // The strip shares its width by weight, so a long account text cannot cover its
    // neighbours; a short text leaves its surplus to the others, and what still does not
    // fit is shortened with a sign.
    auto* strip = new StripLayout(Panel1);
    strip->setContentsMargins(4, 0, 4, 0);
    strip->setSpacing(8);
    auto label = [this, strip](const char* name, const QString& text, int weight) {
        auto* l = new ElideLabel(text, Panel1);
        l->setObjectName(QString::fromLatin1(name));
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        strip->addWidget(l, weight);
        return l;
    };
    statuslabel = label("statuslabel", QStringLiteral("未连接"), 3);
    statuslabel->setStyleSheet(QStringLiteral("color: red;"));
    datalabel = label("datalabel", {}, 3);
    userlabel = label("userlabel", {}, 8);
    localiplabel = label("localiplabel", {}, 5);
    linelabel = label("linelabel", {}, 5);
    protocollabel = label("protocollabel", QStringLiteral("连接方式：自动"), 4);

    linemenu = new QMenu(this);
    linemenu->setObjectName(QStringLiteral("linemenu"));
}

void Tfrmmain::buildOffstage() {
    offstage_ = new QWidget(this);
    offstage_->setObjectName(QStringLiteral("offstage"));
    offstage_->hide();
    AreaTxt = new QComboBox(offstage_);
    AreaTxt->setObjectName(QStringLiteral("AreaTxt"));
    com_game = new QComboBox(offstage_);
    com_game->setObjectName(QStringLiteral("com_game"));
    com_game->setEditable(false);  // typing into it has no effect
    com_game->setEnabled(false);
    auto label = [this](const char* name) {
        auto* l = new QLabel(offstage_);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    LabelSpeed = label("LabelSpeed");
    LabelDataXmit = label("LabelDataXmit");
    LabelDataRecv = label("LabelDataRecv");
    connname = label("connname");
    clientip = label("clientip");
    serverip = label("serverip");
    Label1 = label("Label1");
    Label2 = label("Label2");
    sLabel1 = label("sLabel1");
    pan_button = new QWidget(offstage_);
    pan_button->setObjectName(QStringLiteral("pan_button"));
    lbl_info = new QLabel(pan_button);
    lbl_info->setObjectName(QStringLiteral("lbl_info"));
    btn_zz = new QPushButton(pan_button);
    btn_zz->setObjectName(QStringLiteral("btn_zz"));
    // Captions of the area, line and protocol choices; the choices speak for themselves on
    // screen, so these only hold their language's text.
    sLabel2 = label("sLabel2");
    sLabel2->setText(QStringLiteral("地区:"));
    sLabel3 = label("sLabel3");
    sLabel3->setText(QStringLiteral("线路:"));
    sLabel4 = label("sLabel4");
    sLabel4->setText(QStringLiteral("协议:"));
    sb001 = new QStatusBar(offstage_);
    sb001->setObjectName(QStringLiteral("sb001"));
    StatusBar1 = new QStatusBar(offstage_);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
}

void Tfrmmain::buildMenus() {
    QMenuBar* mm1 = menuBar();
    mm1->setObjectName(QStringLiteral("mm1"));
    auto item = [](QMenu* menu, const char* name, const QString& caption, bool visible = true) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setVisible(visible);
        return a;
    };
    N2 = mm1->addMenu(QStringLiteral("帐户管理"));
    N2->setObjectName(QStringLiteral("N2"));
    N11 = item(N2, "N11", QStringLiteral("帐户注册"));
    N4 = item(N2, "N4", QStringLiteral("修改密码"));
    N10 = item(N2, "N10", QStringLiteral("登录查询"), false);

    O1 = mm1->addMenu(QStringLiteral("刷新线路"));
    O1->setObjectName(QStringLiteral("O1"));
    N14 = item(O1, "N14", QStringLiteral("刷新线路"));
    L2TPQ1 = item(O1, "L2TPQ1", QStringLiteral("L2TP强制生效"), false);
    N15 = item(O1, "N15", QStringLiteral("高级设置"));
    onechangeline = item(O1, "onechangeline", QStringLiteral("一键换IP"), false);

    H1 = mm1->addMenu(QStringLiteral("常见问题"));
    H1->setObjectName(QStringLiteral("H1"));
    H1->menuAction()->setVisible(false);
    V1 = item(H1, "V1", QStringLiteral("使用教程"));
    A1 = item(H1, "A1", QStringLiteral("常见问题"));
    N12 = item(H1, "N12", QStringLiteral("用户须知"));
    N13 = item(H1, "N13", QStringLiteral("新闻公告"));
    N1 = item(H1, "N1", QStringLiteral("关于"));

    taskmenu1 = new QMenu(this);
    taskmenu1->setObjectName(QStringLiteral("taskmenu1"));
    N9 = item(taskmenu1, "N9", QStringLiteral("显示主界面"));
    N7 = item(taskmenu1, "N7", QStringLiteral("退出"));
    N5 = item(taskmenu1, "N5", QStringLiteral("连接"), false);
    N6 = item(taskmenu1, "N6", QStringLiteral("断开"), false);
    N16 = item(taskmenu1, "N16", QStringLiteral("高级设置"));
    N8 = item(taskmenu1, "N8", QStringLiteral("关于"));

    RzTrayIcon1 = new QSystemTrayIcon(appicon(), this);
    RzTrayIcon1->setObjectName(QStringLiteral("RzTrayIcon1"));
    RzTrayIcon1->setContextMenu(taskmenu1);
    setWindowIcon(appicon());
}

void Tfrmmain::centreOnScreen() {
    adjustSize();
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - frameGeometry().center() + pos());
}

void Tfrmmain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (onShow) onShow();
}

void Tfrmmain::closeEvent(QCloseEvent* event) {
    if (onCloseQuery && !onCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    if (onClose) onClose();
}

}  // namespace zenrun
