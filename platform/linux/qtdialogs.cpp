#include "platform/linux/qtdialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMessageBox>

namespace zenrun {

MsgAnswer QtDialogs::messageBox(const QString& caption, const QString& text, MsgIcon icon,
                                MsgButtons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::None: break;
    }
    switch (buttons) {
        case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes: return MsgAnswer::Yes;
        case QMessageBox::No: return MsgAnswer::No;
        case QMessageBox::Cancel: return MsgAnswer::Cancel;
        default: return MsgAnswer::Ok;
    }
}

int QtDialogs::execModal(QDialog& dialog) { return dialog.exec(); }

void QtDialogs::trayBalloon(const QString& title, const QString& text, MsgIcon icon,
                            int timeoutMs) {
    if (!tray_ || !QSystemTrayIcon::supportsMessages()) return;
    QSystemTrayIcon::MessageIcon i = QSystemTrayIcon::NoIcon;
    if (icon == MsgIcon::Information) i = QSystemTrayIcon::Information;
    else if (icon == MsgIcon::Warning) i = QSystemTrayIcon::Warning;
    else if (icon == MsgIcon::Error) i = QSystemTrayIcon::Critical;
    tray_->showMessage(title, text, i, timeoutMs);
}

void QtDialogs::setClipboardText(const QString& text) {
    QApplication::clipboard()->setText(text);
}

QString QtDialogs::clipboardText() const { return QApplication::clipboard()->text(); }

}  // namespace zenrun
