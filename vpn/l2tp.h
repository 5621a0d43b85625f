#pragma once

namespace zenrun {

struct Session;
class Dialogs;
class Registry;
class Services;
class ServiceRepair;
class Tfrmmain;

// The L2TP side of a connect: the dial-up parameter that keeps IPsec off L2TP links, the
// first-use prompt and repair after it changed, the forced repair from the menu, and the
// protocol label.
class L2tpPreparation {
public:
    enum class Result { Ready, Unavailable };

    L2tpPreparation(Session& session, Registry& registry, Dialogs& dialogs, Tfrmmain& form,
                    ServiceRepair& repair);

    // Creating the dial-up components: where this system has the L2TP daemon, its parameter
    // key exists (as the dial-up service's key always does where that service is installed),
    // so a later L2TP connect finds it; without the daemon there is no key and L2TP connects
    // go as PPTP with their message.
    void createparameterkey(const Services& services);

    Result preparel2tp();
    void L2TPQ1Click();
    void rb_lp2pClick();
    void rb_pptpClick();

private:
    Session& session_;
    Registry& registry_;
    Dialogs& dialogs_;
    Tfrmmain& form_;
    ServiceRepair& repair_;
};

}  // namespace zenrun
