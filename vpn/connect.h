#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

#include "core/linerecord.h"

namespace zenrun {

struct Session;
struct Platform;
class Disconnect;
class L2tpPreparation;
class Routes;
class Tfrmmain;

// What the IP check decided: the dial-up credentials, or nothing (connect ends).
struct DialCredentials {
    QString user;
    QString password;
    bool dialaccount = true;
};

// The IP check's reply turned into credentials: the accept token, the back-end's own dial
// account (separator A), or a dial name for the account's password (separator B). An empty
// user name means the reply held none.
DialCredentials ipcheckcredentials(const QString& reply, const QString& username,
                                   const QString& userpass);

// "mmddhnszz" and "yyyymmddhnszz" of a local time.
QString entrynamefor(const QDateTime& t);
// The session id: the time stamp and eight digits from the system's random generator.
QString uniqueidfor(const QDateTime& t);

// Turns the chosen line into a running dial: credentials, routes, the phonebook entry, the
// dial start; the dial monitor takes over from there.
class Connect {
public:
    Connect(Session& session, Platform& platform, Tfrmmain& form, Routes& routes,
            Disconnect& disconnect, L2tpPreparation& l2tp, std::function<LineNode()> focusedNode);

    // The Connect button (tray item, line menu, auto redial): may arm line rotation.
    void btn_connClick();
    // Line rotation's reconnect: its own IP-check page, and it never arms rotation.
    void btn_conn2Click();

    static constexpr int kIpCheckTimeoutMs = 4000;

private:
    void connect(bool rotation);
    // False when connect ends here (the check already said why).
    bool ipcheck(bool rotation, DialCredentials& out);
    void entryfailure();

    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
    Routes& routes_;
    Disconnect& disconnect_;
    L2tpPreparation& l2tp_;
    std::function<LineNode()> focusedNode_;
};

}  // namespace zenrun
