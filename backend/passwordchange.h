#pragma once

#include <QString>

class QWidget;

namespace zenrun {

struct Platform;
struct Session;
class TForm4;

// Changing an account's password from the client: the password dialog's texts, its field
// checks, the request to the primary back-end host and the reply's message. Any account may
// be named, not only the signed-in one; the back-end decides. Touches no session state.
class PasswordChange {
public:
    PasswordChange(const Session& session, Platform& platform, TForm4& form, QString primaryHost);

    void FormShow();
    void sButton1Click();  // check, send, report; closes on success
    void sButton2Click();  // cancel

private:
    bool checkfields();
    void send();

    const Session& session_;
    Platform& platform_;
    TForm4& form_;
    QString primaryHost_;
    bool busy_ = false;  // a request is on its way
};

// Creates the password dialog, runs it modally and frees it.
void showpassword(const Session& session, Platform& platform, const QString& primaryHost,
                  QWidget* parent);

}  // namespace zenrun
