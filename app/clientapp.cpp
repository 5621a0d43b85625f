#include "app/clientapp.h"

#include "app/mainwindow.h"
#include "app/session.h"
#include "app/webpane.h"
#include "backend/loginform.h"
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
        Tfrmlogin login(session_, platform_, main_.get());
        platform_.dialogs->execModal(login);
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
    shell_ = std::make_unique<MainShell>(session_, platform_, *main_, seams_,
                                         MainShell::PageHosts{});
    shell_->FormCreate();
    if (!session_.loginok) return false;
    loginInstance_ = std::make_unique<Tfrmlogin>(session_, platform_);
    main_->centreOnScreen();
    main_->show();
    return true;
}

}  // namespace zenrun
