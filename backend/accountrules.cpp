#include "backend/accountrules.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "backend/endpoints.h"
#include "backend/localisation.h"
#include "backend/mystring.h"
#include "core/langtext.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

namespace zenrun {

bool accountname(const QString& name) {
    if (name.isEmpty()) return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool alnum =
            (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
        if (!alnum) return false;
    }
    return true;
}

void accountmessage(const Session& session, Dialogs& dialogs, const char* english,
                    const char* chinese) {
    dialogs.messageBox(apptitle(session),
                       langtext(session, QString::fromUtf8(english), QString::fromUtf8(chinese)),
                       MsgIcon::Warning, MsgButtons::Ok);
}

bool passchecks(const Session& session, Dialogs& dialogs,
                std::initializer_list<FieldCheck> checks) {
    for (const FieldCheck& check : checks) {
        if (!check.fails) continue;
        accountmessage(session, dialogs, check.english, check.chinese);
        check.focus->setFocus();
        return false;
    }
    return true;
}

QString postaccount(Http& http, Clock& clock, const QString& host, const char* path,
                    const FormFields& form) {
    QString reply;
    try {
        const HttpReply r = http.post(endpointurl(host, QString::fromLatin1(path)), form,
                                      kAccountReadTimeoutMs, QString::fromLatin1(kUserAgent));
        if (r.ok) reply = r.body;
    } catch (...) {
        // No reply is the failure; the dialog says so in its own words.
    }
    clock.processEvents();
    return reply;
}

QString tr3(const Session& s, const char* english, const char* chinese) {
    return langtext(s, QString::fromUtf8(english), QString::fromUtf8(chinese));
}

QString trimmed(const QLineEdit* e) {
    return e->text().trimmed();
}

void submitonce(bool& busy, QAbstractButton* submit, QAbstractButton* cancel,
                const std::function<bool()>& check, const std::function<void()>& send) {
    if (busy) return;
    if (!check()) return;
    busy = true;
    submit->setEnabled(false);
    cancel->setEnabled(false);
    try {
        send();
    } catch (...) {
        // A failing platform must not take the dialog with it.
    }
    submit->setEnabled(true);
    cancel->setEnabled(true);
    busy = false;
}

}  // namespace zenrun
