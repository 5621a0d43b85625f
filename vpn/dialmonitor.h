#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace zenrun {

struct Session;
class Dialogs;
class Disconnect;
class Ras;
class Routes;
class Tfrmmain;

// The dial error table: the status text for a dial state from 602 to 1000.
QString dialerrortext(int langindex, int code);

// Follows a started dial to link-up or failure, and after link-up watches the link and
// redials when the user asked for it.
class DialMonitor {
public:
    // `redial` is the Connect button's work (auto redial runs it).
    DialMonitor(Session& session, Ras& ras, Dialogs& dialogs, Routes& routes, Tfrmmain& form,
                Disconnect& disconnect, std::function<void()> redial);

    // Connects the three timers and the dial-up service's link report.
    void wire();

    void dialupstatusTimer();
    void dialupcheckTimer();
    void autodialstatusTimer();
    // The dial-up service saw a link end by itself: the link watch runs at once instead of at
    // its next tick (up to 20 s later), when it is watching that link.
    void linkEnded(int handle);

    static constexpr int kRedialLimit = 200;

private:
    void linkupactions(bool full);
    void teardown();

    Session& session_;
    Ras& ras_;
    Dialogs& dialogs_;
    Routes& routes_;
    Tfrmmain& form_;
    Disconnect& disconnect_;
    std::function<void()> redial_;
};

}  // namespace zenrun
