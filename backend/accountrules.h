#pragma once

#include <QString>
#include <functional>
#include <initializer_list>

#include "platform/http.h"

class QAbstractButton;
class QLineEdit;

namespace zenrun {

struct Session;
class Clock;
class Dialogs;

// How long an account dialog waits for the back-end before it counts the request as failed.
inline constexpr int kAccountReadTimeoutMs = 2000;

// An account name: not empty, ASCII letters and digits only. Takes the trimmed text.
bool accountname(const QString& name);

// One field check of an account dialog: when `fails`, the message is shown and the focus
// goes to `focus`.
struct FieldCheck {
    bool fails;
    const char* english;
    const char* chinese;
    QLineEdit* focus;
};

// Runs the checks in order; the first failing one shows its message and moves the focus.
// True when every check passed.
bool passchecks(const Session& session, Dialogs& dialogs, std::initializer_list<FieldCheck> checks);

// The account dialogs' only kind of message: a warning box captioned with the application
// title, success included.
void accountmessage(const Session& session, Dialogs& dialogs, const char* english,
                    const char* chinese);

// One form POST of an account dialog to "http://" + host + path. Whatever goes wrong (no
// connection, time-out, HTTP error) gives an empty reply. Pending events run once after it.
QString postaccount(Http& http, Clock& clock, const QString& host, const char* path,
                    const FormFields& form);

// The submit button of an account dialog: once the fields pass `check`, `send` runs with both
// buttons disabled, and presses that arrive while it waits do nothing (a second request
// would repeat the change on the back-end and answer the user with its refusal). `busy`
// belongs to the dialog; nothing `send` throws leaves the dialog.
void submitonce(bool& busy, QAbstractButton* submit, QAbstractButton* cancel,
                const std::function<bool()>& check, const std::function<void()>& send);

// A text of the account dialogs in the session's language.
QString tr3(const Session& s, const char* english, const char* chinese);
// What a field holds, blanks around it dropped.
QString trimmed(const QLineEdit* e);

}  // namespace zenrun
