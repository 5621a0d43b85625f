#include "app/clientapp.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
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
#include "lines/linkwatcher.h"
#include "lines/singletest.h"
#include "lines/speedtest.h"
#include "lines/speedtestform.h"
#include "netcfg/routes.h"
#include "platform/dialogs.h"
#include "platform/iphelper.h"
#include "platform/linux/qtdialogs.h"
#include "platform/platform.h"
#include "ui/mainwindow.h"
#include "ui/webpane.h"

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

    // --- Latency -----------------------------------------------------------------------
    seams_.stopSpeedTest = [this] {
        if (speedTest_) speedTest_->stop();
    };
    // --- end Latency -------------------------------------------------------------------

    // --- Routes ------------------------------------------------------------------------
    seams_.applyRouteMode = [this] {
        if (routes_) routes_->routetypeChange();
    };
    seams_.removeRoutes = [this] {
        if (routes_) routes_->delroutesonteardown();
    };
    // --- end Routes --------------------------------------------------------------------
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
    view->onConnect = [this] {
        if (shell_ && shell_->seams().connect) shell_->seams().connect();
    };
}
// --- end Lines -------------------------------------------------------------------------

// --- Latency ---------------------------------------------------------------------------
void ClientApp::createLatency() {
    Tfrmmain& f = *main_;
    speedTest_ = std::make_unique<SpeedTest>(session_, platform_, f, *lineView_);
    speedForm_ = std::make_unique<TForm1>();
    singleTest_ = std::make_unique<SingleTest>(session_, platform_, f, *speedForm_);
    linkWatcher_ = std::make_unique<LinkWatcher>(session_, platform_, f, *speedTest_);
    SpeedTest* batch = speedTest_.get();
    SingleTest* single = singleTest_.get();
    LinkWatcher* watcher = linkWatcher_.get();
    QObject::connect(f.btn_speed, &QPushButton::clicked, &f, [batch] { batch->btn_speedClick(); });
    QObject::connect(f.cesu, &QPushButton::clicked, &f, [single] { single->cesuClick(); });
    QObject::connect(speedForm_->Button1, &QPushButton::clicked, speedForm_.get(),
                     [single] { single->Button1Click(); });
    speedForm_->onShow = [single] { single->FormShow(); };
    lineView_->onSpeedTest = [single] { single->cesuClick(); };
    lineView_->onSorted = [batch] { batch->showpoolstatus(); };
    f.Timer1->setHandler([batch] { batch->Timer1Timer(); });
    f.Timer2->setHandler([watcher] { watcher->Timer2Timer(); });
}
// --- end Latency -----------------------------------------------------------------------

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

bool ClientApp::start() {
    main_ = std::make_unique<Tfrmmain>(*platform_.clock);
    createLines();
    createLatency();
    makeRoutes();
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
