#pragma once

namespace zenrun {

struct Session;
class Ras;
class Routes;
class Tfrmmain;

// Ends the link or the dial under way and returns the window to its idle layout; its
// clearvpnentry (hang-up and entry deletion) also runs before every connect and after every
// failed or dropped link.
class Disconnect {
public:
    Disconnect(Session& session, Ras& ras, Routes& routes, Tfrmmain& form);

    // The Disconnect button (and tray item): stops line rotation too.
    void btn_disconnClick();
    // Line rotation's disconnect before its reconnect: leaves rotation's timer running.
    void btn_disconn2Click();
    void clearvpnentry();

private:
    void disconnect(bool rotation);

    Session& session_;
    Ras& ras_;
    Routes& routes_;
    Tfrmmain& form_;
};

}  // namespace zenrun
