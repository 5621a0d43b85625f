#pragma once

#include <QList>
#include <deque>
#include <functional>

#include "platform/dialogs.h"

namespace zenrun {

// Records every box and balloon; answers boxes and runs modal forms from a script.
class SimDialogs : public Dialogs {
public:
    struct Box {
        QString caption, text;
        MsgIcon icon;
        MsgButtons buttons;
        MsgAnswer answer;
    };
    struct Balloon {
        QString title, text;
        MsgIcon icon;
        int timeoutMs;
    };

    MsgAnswer messageBox(const QString& caption, const QString& text, MsgIcon icon,
                         MsgButtons buttons) override;
    int execModal(QDialog& dialog) override;
    void trayBalloon(const QString& title, const QString& text, MsgIcon icon,
                     int timeoutMs) override;
    void setClipboardText(const QString& text) override { clipboard_ = text; }
    QString clipboardText() const override { return clipboard_; }

    // Driving API. Without a scripted answer a box answers with its first button
    // (Ok, or Yes); a modal form without a script is rejected at once.
    void queueAnswer(MsgAnswer a) { answers_.push_back(a); }
    void queueModal(std::function<int(QDialog&)> run) { modals_.push_back(std::move(run)); }

    QList<Box> boxes;
    QList<Balloon> balloons;
    QStringList modalsShown;  // objectName or class name of each form run modally

private:
    std::deque<MsgAnswer> answers_;
    std::deque<std::function<int(QDialog&)>> modals_;
    QString clipboard_;
};

}  // namespace zenrun
