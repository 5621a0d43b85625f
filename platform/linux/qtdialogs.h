#pragma once

#include <QPointer>
#include <QSystemTrayIcon>

#include "platform/dialogs.h"

namespace zenrun {

class QtDialogs : public Dialogs {
public:
    MsgAnswer messageBox(const QString& caption, const QString& text, MsgIcon icon,
                         MsgButtons buttons) override;
    int execModal(QDialog& dialog) override;
    void trayBalloon(const QString& title, const QString& text, MsgIcon icon,
                     int timeoutMs) override;
    void setClipboardText(const QString& text) override;
    QString clipboardText() const override;

    // Balloons appear at this icon; without one they are dropped.
    void setTrayIcon(QSystemTrayIcon* icon) { tray_ = icon; }

private:
    QPointer<QSystemTrayIcon> tray_;
};

}  // namespace zenrun
