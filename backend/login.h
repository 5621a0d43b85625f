#pragma once

#include <QString>
#include <functional>

#include "backend/endpoints.h"
#include "backend/localisation.h"

namespace zenrun {

struct Platform;
struct Session;
class Tfrmlogin;
class Tfrmmain;

// Where the login options live in the user hive.
inline constexpr char kLoginKey[] = "\\Software\\zididov";

// What the credential check's reply means: nothing came back, the back-end refused the
// name or password ("error"), or anything else, which is the account information.
enum class LoginAnswer { NoAnswer, Refused, Accepted };
LoginAnswer loginanswer(const QString& reply);

// The login: stored options, the credential check against the back-end, the session it
// fills, and the downloads that follow. Runs the login window `Tfrmlogin`; the main window
// appears only when this leaves `loginok` set.
class Login {
public:
    // Wires the window and runs its creation step (stored options and language).
    Login(Session& session, Platform& platform, Tfrmlogin& form, Tfrmmain& main, Hosts hosts);

    void FormCreate();
    void FormShow();
    void btn_loginClick();
    void btn_exitClick();
    void sButton1Click();  // registration dialog
    void sButton3Click();  // customer-service page
    void Label1Click();    // web registration page

    Localisation& localisation() { return localisation_; }

    // Runs the registration dialog modally; filled by the client.
    std::function<void()> showRegistration;

private:
    void login();
    void warn(const char* english, const char* chinese);
    void status(const QString& text);
    QString postcredentials(const QString& user, const QString& pass);
    void fillmain(const QString& user, const QString& reply);
    void storeoptions();
    void downloadlists(const QString& user);

    Session& session_;
    Platform& platform_;
    Tfrmlogin& form_;
    Tfrmmain& main_;
    Hosts hosts_;
    Localisation localisation_;
    bool busy_ = false;
    bool closeAfter_ = false;  // the attempt ends by closing the window
};

}  // namespace zenrun
