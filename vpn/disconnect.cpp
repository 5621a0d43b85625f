#include "vpn/disconnect.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include "core/langtext.h"
#include "core/session.h"
#include "netcfg/routes.h"
#include "platform/ras.h"
#include "ui/mainwindow.h"
#include "vpn/layouts.h"

namespace zenrun {

namespace {
constexpr int kHangUpWaitMs = 3000;
constexpr int kHangUpPollMs = 50;
}  // namespace

Disconnect::Disconnect(Session& session, Ras& ras, Routes& routes, Tfrmmain& form)
    : session_(session), ras_(ras), routes_(routes), form_(form) {}

void Disconnect::btn_disconnClick() {
    disconnect(false);
}
void Disconnect::btn_disconn2Click() {
    disconnect(true);
}

void Disconnect::disconnect(bool rotation) {
    form_.statuslabel->setText(
        langtext(session_, QStringLiteral("disconnecting...."), QStringLiteral("正在断开")));
    idlelayout(form_, session_);
    // Rotation takes the routes down before anything else changes on screen.
    if (rotation) routes_.delroutesonteardown();
    form_.com_game->setEnabled(true);
    form_.btn_zz->setEnabled(true);
    form_.StatusBar1->showMessage(
        langtext(session_, QStringLiteral("Disconnected"), QStringLiteral("连接已断开")));
    form_.statuslabel->setText(
        langtext(session_, QStringLiteral("Disconected"), QStringLiteral("连接已经断开")));
    setwindowtext(*form_.linelabel);
    setwindowtext(*form_.datalabel);
    if (!rotation) routes_.delroutesonteardown();
    idlelayout(form_, session_);
    try {
        ras_.resetPerfStats();
    } catch (...) {
    }
    form_.dialupcheck->setEnabled(false);
    form_.autodialstatus->setEnabled(false);
    clearvpnentry();
    if (!rotation) form_.autochangeline->setEnabled(false);
}

void Disconnect::clearvpnentry() {
    if (session_.connhandle != 0) {
        try {
            ras_.disconnectEx(session_.connhandle, kHangUpWaitMs, kHangUpPollMs);
        } catch (...) {
        }
        session_.connhandle = 0;
    }
    try {
        if (ras_.validateName(session_.entryname) == 0) return;
        // Only the first active connection is compared: another program's link is never ours.
        const Ras::Active active = ras_.getConnection();
        if (!active.entryName.isEmpty() && active.entryName == session_.entryname)
            ras_.disconnectEx(active.handle, kHangUpWaitMs, kHangUpPollMs);
        ras_.setEntryName(session_.entryname);
        ras_.deletePhonebook();
        // The second call retries a failed first one; after a success it meets an empty name.
        ras_.deletePhonebook();
    } catch (...) {
    }
}

}  // namespace zenrun
