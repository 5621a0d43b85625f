#include "app/clientapp.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

#include "backend/endpoints.h"
#include "backend/login.h"
#include "backend/loginform.h"
#include "backend/passwordchange.h"
#include "backend/registration.h"
#include "backend/updatenotice.h"
#include "core/session.h"
#include "lines/linelist.h"
#include "lines/lineview.h"
#include "netcfg/routes.h"
#include "platform/dialogs.h"
#include "platform/iphelper.h"
#include "platform/linux/qtdialogs.h"
#include "platform/platform.h"
#include "ui/mainwindow.h"
#include "ui/webpane.h"
#include "vpn/connect.h"
#include "vpn/dialmonitor.h"
#include "vpn/disconnect.h"
#include "vpn/l2tp.h"
#include "vpn/repair.h"

namespace zenrun {

ClientApp::ClientApp(Session& session, Platform& platform, Options options)
    : session_(session), platform_(platform), options_(options) {
    fillSeams();
}

ClientApp::~ClientApp() = default;

void ClientApp::fillSeams() {
    seams_.showLogin = [this] {
        Tfrmlogin form(main_.get());
        form.wb1->setFetchEnabled(options_.fetchPages);
        Login login(session_, platform_, form, *main_, Hosts::defaults());
        login.showRegistration = [this] {
            if (seams_.showRegistration) seams_.showRegistration();
        };
        platform_.dialogs->execModal(form);
    };

    // --- Account dialogs ---------------------------------------------------------------
    // Opened from the login window and from the main window's menu: each above the window
    // that opened it, always talking to the primary host.
    auto opener = [this] {
        QWidget* active = QApplication::activeWindow();
        return active ? active : static_cast<QWidget*>(main_.get());
    };
    seams_.showRegistration = [this, opener] {
        showregistration(session_, platform_, Hosts::defaults().primary, opener());
    };
    seams_.showPassword = [this, opener] {
        showpassword(session_, platform_, Hosts::defaults().primary, opener());
    };
    // --- end Account dialogs -----------------------------------------------------------

    // --- Lines -------------------------------------------------------------------------
    seams_.restoreLastLine = [this] {
        lineView_->retranslate();  // the language is known once the login is done
        lineList_->loadareas();
    };
    seams_.selectFirstArea = [this] { lineList_->selectFirstArea(); };
    seams_.refreshLines = [this] { lineList_->N14Click(); };
    // --- end Lines ---------------------------------------------------------------------

    // --- Routes ------------------------------------------------------------------------
    seams_.applyRouteMode = [this] {
        if (routes_) routes_->routetypeChange();
    };
    seams_.removeRoutes = [this] {
        if (routes_) routes_->delroutesonteardown();
    };
    // --- end Routes --------------------------------------------------------------------

    // --- Connection ----------------------------------------------------------------------
    seams_.createDialComponents = [this] {
        if (l2tp_) l2tp_->createparameterkey(*platform_.services);
    };
    seams_.connect = [this] {
        if (connect_) connect_->btn_connClick();
    };
    seams_.disconnect = [this] {
        if (disconnect_) disconnect_->btn_disconnClick();
    };
    seams_.hangUp = [this] {
        if (disconnect_) disconnect_->clearvpnentry();
    };
    seams_.forceL2tp = [this] {
        if (l2tp_) l2tp_->L2TPQ1Click();
    };
    // --- end Connection ------------------------------------------------------------------
}

// --- Lines -----------------------------------------------------------------------------
// Line list and areas, and the line list view.
void ClientApp::createLines() {
    Tfrmmain& f = *main_;
    lineView_ = new LineView(session_, platform_, f);
    lineList_ = std::make_unique<LineList>(session_, platform_, f, *lineView_);
    LineList* list = lineList_.get();
    LineView* view = lineView_;
    QObject::connect(f.AreaTxt2, &QComboBox::activated, &f, [list] { list->AreaTxt2Change(); });
    QObject::connect(f.AreaTxt, &QComboBox::activated, &f, [list] { list->AreaTxtChange(); });
    QObject::connect(f.linenamesearch, &QPushButton::clicked, &f,
                     [list] { list->linenamesearchClick(); });
    QObject::connect(f.linenametxt, &QLineEdit::returnPressed, &f,
                     [list] { list->linenamesearchClick(); });
    QObject::connect(f.vt1->header(), &QHeaderView::sectionClicked, view,
                     [view](int column) { view->vt1HeaderClick(column); });
    QObject::connect(view, &LineView::clicked, view, [view] { view->vt1Click(); });
    QObject::connect(view, &LineView::doubleClicked, view, [view] { view->vt1DblClick(); });
    QObject::connect(f.vt1, &QTreeView::customContextMenuRequested, view,
                     [view](const QPoint& pos) { view->popupLineMenu(pos); });
    QObject::connect(view->N17, &QAction::triggered, view, [view] { view->N17Click(); });
    QObject::connect(view->N18, &QAction::triggered, view, [view] { view->N18Click(); });
    QObject::connect(view->N19, &QAction::triggered, view, [view] { view->N19Click(); });
    // The single-line test and the pool status come with the latency probing.
    view->onConnect = [this] {
        if (shell_ && shell_->seams().connect) shell_->seams().connect();
    };
}
// --- end Lines -------------------------------------------------------------------------

// --- Routes ----------------------------------------------------------------------------
// The route table lives as long as the main window; routes a killed earlier run left
// behind are removed before anything else touches the table.
void ClientApp::makeRoutes() {
    routes_ = std::make_unique<Routes>(
        session_, *platform_.ipHelper,
        Routes::Controls{main_->routetype, main_->com_game, main_->sButton1, main_->sButton2},
        platform_.stateDir + QStringLiteral("/routes.journal"));
    routes_->wire();
    routes_->clearleftoverroutes();
}
// --- end Routes ------------------------------------------------------------------------

// --- Connection ------------------------------------------------------------------------
void ClientApp::createVpn() {
    Tfrmmain& f = *main_;
    repair_ = std::make_unique<ServiceRepair>(*platform_.registry, *platform_.services, *platform_.clock,
                                              [this] { return shell_ && shell_->closing(); });
    disconnect_ = std::make_unique<Disconnect>(session_, *platform_.ras, *routes_, f);
    l2tp_ = std::make_unique<L2tpPreparation>(session_, *platform_.registry, *platform_.dialogs, f, *repair_);
    LineView* view = lineView_;
    connect_ = std::make_unique<Connect>(session_, platform_, f, *routes_, *disconnect_, *l2tp_,
                                         [view] { return view->focusedNode(); });
    Connect* conn = connect_.get();
    dialMonitor_ = std::make_unique<DialMonitor>(session_, *platform_.ras, *platform_.dialogs, *routes_, f,
                                                 *disconnect_, [conn] { conn->btn_connClick(); });
    dialMonitor_->wire();
    Disconnect* disc = disconnect_.get();
    L2tpPreparation* l2tp = l2tp_.get();
    QObject::connect(f.btn_conn, &QPushButton::clicked, &f, [conn] { conn->btn_connClick(); });
    QObject::connect(f.btn_conn2, &QPushButton::clicked, &f, [conn] { conn->btn_conn2Click(); });
    QObject::connect(f.btn_disconn, &QPushButton::clicked, &f, [disc] { disc->btn_disconnClick(); });
    QObject::connect(f.rb_lp2p, &QRadioButton::clicked, &f, [l2tp] { l2tp->rb_lp2pClick(); });
    QObject::connect(f.rb_pptp, &QRadioButton::clicked, &f, [l2tp] { l2tp->rb_pptpClick(); });
}
// --- end Connection --------------------------------------------------------------------

bool ClientApp::start() {
    main_ = std::make_unique<Tfrmmain>(*platform_.clock);
    createLines();
    makeRoutes();
    createVpn();
    main_->web1->setFetchEnabled(options_.fetchPages);
    main_->web2->setFetchEnabled(options_.fetchPages);
    if (auto* qd = dynamic_cast<QtDialogs*>(platform_.dialogs.get()))
        qd->setTrayIcon(main_->RzTrayIcon1);
    wireLogin();
    const Hosts hosts = Hosts::defaults();
    shell_ = std::make_unique<MainShell>(
        session_, platform_, *main_, seams_,
        MainShell::PageHosts{hosts.siblingAccount, hosts.siblingPages, hosts.helpSite});
    shell_->FormCreate();
    if (!session_.loginok) return false;
    createLoginInstances();
    main_->centreOnScreen();
    main_->show();
    return true;
}

// --- Login, languages and the update notice ---

void ClientApp::wireLogin() {
    reminder_ = std::make_unique<VersionReminder>(session_, *platform_.dialogs, *main_->vercheck);
}

// The start-up instances of the login window and the update notice are never shown; the
// login window's creation reads the stored options again and applies the stored language to
// both windows.
void ClientApp::createLoginInstances() {
    loginInstance_ = std::make_unique<Tfrmlogin>();
    loginInstanceLogic_ =
        std::make_unique<Login>(session_, platform_, *loginInstance_, *main_, Hosts::defaults());
    noticeInstance_ = std::make_unique<TForm6>();
}

}  // namespace zenrun
