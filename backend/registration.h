#pragma once

#include <QString>

class QWidget;

namespace zenrun {

struct Platform;
struct Session;
class TForm2;

// Creating an account from the client: the registration dialog's texts, its field checks,
// the request to the primary back-end host and the reply's message. Touches no session
// state: a new account is used only when the user logs in with it.
class Registration {
public:
    Registration(const Session& session, Platform& platform, TForm2& form, QString primaryHost);

    void FormShow();
    void sButton1Click();  // check, send, report; closes on success
    void sButton2Click();  // cancel

private:
    bool checkfields();
    void send();

    const Session& session_;
    Platform& platform_;
    TForm2& form_;
    QString primaryHost_;
    bool busy_ = false;  // a request is on its way
};

// Creates the registration dialog, runs it modally and frees it.
void showregistration(const Session& session, Platform& platform, const QString& primaryHost,
                      QWidget* parent);

}  // namespace zenrun
