#include "app/clientapp.h"

#include "app/mainwindow.h"
#include "app/session.h"
#include "app/webpane.h"
#include "backend/endpoints.h"
#include "backend/login.h"
#include "backend/loginform.h"
#include "backend/updatenotice.h"
#include "netcfg/routes.h"
#include "platform/dialogs.h"
#include "platform/iphelper.h"
#include "platform/linux/qtdialogs.h"
#include "platform/platform.h"

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

    // --- Routes ------------------------------------------------------------------------
    seams_.applyRouteMode = [this] {
        if (routes_) routes_->routetypeChange();
    };
    seams_.removeRoutes = [this] {
        if (routes_) routes_->delroutesonteardown();
    };
    // --- end Routes --------------------------------------------------------------------
}

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
    makeRoutes();
    main_->web1->setFetchEnabled(options_.fetchPages);
    main_->web2->setFetchEnabled(options_.fetchPages);
    if (auto* qd = dynamic_cast<QtDialogs*>(platform_.dialogs.get()))
        qd->setTrayIcon(main_->RzTrayIcon1);
    wireLogin();
    shell_ = std::make_unique<MainShell>(session_, platform_, *main_, seams_,
                                         MainShell::PageHosts{});
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
