#include "platform/sim/simdialogs.h"

#include <QDialog>

namespace zenrun {

MsgAnswer SimDialogs::messageBox(const QString& caption, const QString& text, MsgIcon icon,
                                 MsgButtons buttons) {
    MsgAnswer a = (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel)
                      ? MsgAnswer::Yes
                      : MsgAnswer::Ok;
    if (!answers_.empty()) {
        a = answers_.front();
        answers_.pop_front();
    }
    boxes.append({caption, text, icon, buttons, a});
    return a;
}

int SimDialogs::execModal(QDialog& dialog) {
    modalsShown.append(dialog.objectName().isEmpty()
                           ? QString::fromLatin1(dialog.metaObject()->className())
                           : dialog.objectName());
    if (modals_.empty()) return QDialog::Rejected;
    auto run = std::move(modals_.front());
    modals_.pop_front();
    return run(dialog);
}

void SimDialogs::trayBalloon(const QString& title, const QString& text, MsgIcon icon,
                             int timeoutMs) {
    balloons.append({title, text, icon, timeoutMs});
}

}  // namespace zenrun
