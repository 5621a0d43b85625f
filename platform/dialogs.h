#pragma once

#include <QString>

class QDialog;

namespace zenrun {

enum class MsgIcon { None, Information, Warning, Question, Error };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// Everything that talks to the user outside a form's own controls.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgAnswer messageBox(const QString& caption, const QString& text, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    // Runs a form modally and returns its result code (QDialog::Accepted / Rejected ...).
    virtual int execModal(QDialog& dialog) = 0;
    virtual void trayBalloon(const QString& title, const QString& text, MsgIcon icon,
                             int timeoutMs) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual QString clipboardText() const = 0;
};

}  // namespace zenrun
