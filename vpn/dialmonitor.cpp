#include "vpn/dialmonitor.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>

#include "core/langtext.h"
#include "core/session.h"
#include "netcfg/routes.h"
#include "platform/dialogs.h"
#include "platform/ras.h"
#include "ui/mainwindow.h"
#include "vpn/disconnect.h"
#include "vpn/layouts.h"

namespace zenrun {

namespace {
constexpr int kCounterSlot = 2;
constexpr int kBalloonMs = 10000;
constexpr int kMaxRedialSeconds = 2147483;

bool dialerror(std::uint16_t state) {
    return state >= 602 && state <= 1000;
}
}  // namespace

QString dialerrortext(int langindex, int code) {
    QString english, chinese;
    switch (code) {
        case 930:
            english = QStringLiteral("cannot be authenticated");
            chinese = QStringLiteral("服务器无法进行身份验证");
            break;
        case 691:
            english = QStringLiteral("Username or password cannot be verified");
            chinese = QStringLiteral("用户名和密码无法验证");
            break;
        case 619:
        case 800:
            english = QStringLiteral("May your network to limit or the line fault");
            chinese = QStringLiteral("可能您的网络有限制或此线路存在故障");
            break;
        case 756:
        case 633:
            english =
                QStringLiteral("System fault, please open the client or restart the computer");
            chinese = QStringLiteral("系统故障，请重新打开客户端或重新启动电脑");
            break;
        default:
            english = QStringLiteral("Unable to connect, please replace the line");
            chinese = QStringLiteral("无法连接，请更换线路");
            break;
    }
    return langtext(langindex, QStringLiteral("Error:"), QStringLiteral("错误：")) +
           QString::number(code) + QLatin1Char(' ') + langtext(langindex, english, chinese);
}

DialMonitor::DialMonitor(Session& session, Ras& ras, Dialogs& dialogs, Routes& routes,
                         Tfrmmain& form, Disconnect& disconnect, std::function<void()> redial)
    : session_(session),
      ras_(ras),
      dialogs_(dialogs),
      routes_(routes),
      form_(form),
      disconnect_(disconnect),
      redial_(std::move(redial)) {}

void DialMonitor::wire() {
    form_.dialupstatus->setHandler([this] { dialupstatusTimer(); });
    form_.dialupcheck->setHandler([this] { dialupcheckTimer(); });
    form_.autodialstatus->setHandler([this] { autodialstatusTimer(); });
    ras_.onLinkEnded = [this](int handle) { linkEnded(handle); };
}

// Steps 1-5 at every link-up; the full set also deletes the entry and hands the link to the
// link watch.
void DialMonitor::linkupactions(bool full) {
    session_.connected = true;
    form_.com_game->setEnabled(false);
    setred(*form_.statuslabel);
    form_.statuslabel->setText(
        langtext(session_, QStringLiteral("Connected"), QStringLiteral("连接成功")));
    form_.StatusBar1->showMessage(
        langtext(session_, QStringLiteral("Connected"), QStringLiteral("服务器连接成功")));
    form_.btn_speed->setEnabled(false);
    form_.vt1->setEnabled(false);
    form_.rast12->setEnabled(true);
    form_.btn_disconn->setEnabled(true);
    // Status reports only for links whose password came from the back-end.
    form_.statuscheck->setEnabled(!session_.dialaccount);
    if (!full) return;
    try {
        ras_.deletePhonebook();
    } catch (...) {
    }
    form_.autodialstatus->setEnabled(true);
    form_.dialupcheck->setEnabled(false);
    form_.dialupstatus->setEnabled(false);
}

void DialMonitor::dialupstatusTimer() {
    const std::uint16_t state = ras_.connectState();
    if (state == kRasConnected) {
        linkupactions(true);
        return;
    }
    setred(*form_.statuslabel);
    if (!dialerror(state)) return;
    form_.statuslabel->setText(dialerrortext(session_.langindex, state));
    routes_.delroutesonteardown();
    session_.connected = false;
    idlelayout(form_, session_);
    try {
        ras_.resetPerfStats();
    } catch (...) {
    }
    disconnect_.clearvpnentry();
    form_.rast12->setEnabled(false);
    form_.statuscheck->setEnabled(false);
    form_.dialupcheck->setEnabled(false);
    form_.dialupstatus->setEnabled(false);
}

void DialMonitor::dialupcheckTimer() {
    ras_.currentStatusEx(session_.connhandle);
    ras_.watch(kCounterSlot, session_.connhandle);
    if (ras_.connectState() == kRasConnected) {
        // dialupstatus stays on and runs the full link-up at its next tick.
        linkupactions(false);
        form_.autodialstatus->setEnabled(true);
    } else {
        session_.connected = false;
        setred(*form_.statuslabel);
        form_.statuslabel->setText(langtext(
            session_, QStringLiteral("Unable to connect, please replace the other line retry"),
            QStringLiteral("不能连接，请更换其它线路再试")));
        routes_.delroutesonteardown();
        idlelayout(form_, session_);
        disconnect_.clearvpnentry();
        form_.rast12->setEnabled(false);
        form_.statuscheck->setEnabled(false);
    }
    try {
        ras_.deletePhonebook();
    } catch (...) {
    }
    form_.dialupcheck->setEnabled(false);
}

void DialMonitor::teardown() {
    session_.connected = false;
    setred(*form_.statuslabel);
    form_.statuslabel->setText(
        langtext(session_, QStringLiteral("Disconnected"), QStringLiteral("已断开连接")));
    dialogs_.trayBalloon(
        langtext(session_, QStringLiteral("Status Info"), QStringLiteral("断开提示")),
        langtext(session_, QStringLiteral("vpn is disconnected"), QStringLiteral("已经断开连接")),
        MsgIcon::Information, kBalloonMs);
    routes_.delroutesonteardown();
    idlelayout(form_, session_);
    disconnect_.clearvpnentry();
    form_.rast12->setEnabled(false);
    form_.statuscheck->setEnabled(false);
    form_.dialupcheck->setEnabled(false);
}

void DialMonitor::autodialstatusTimer() {
    ras_.currentStatusEx(session_.connhandle);
    ras_.watch(kCounterSlot, session_.connhandle);
    if (ras_.connectState() == kRasConnected) return;
    teardown();
    if (session_.redialcheck == QLatin1String("2")) {
        try {
            if (redial_) redial_();
            ++session_.redialcount;
        } catch (...) {
        }
        if (!session_.redialtime.isEmpty()) {
            bool ok = false;
            const int seconds = session_.redialtime.toInt(&ok);
            // A number the timer cannot take (none, or past what milliseconds hold) keeps the
            // interval, as text that is no number does.
            if (ok && seconds > 0 && seconds <= kMaxRedialSeconds)
                form_.autodialstatus->setInterval(seconds * 1000);
        }
    }
    if (session_.redialcount >= kRedialLimit) form_.autodialstatus->setEnabled(false);
}

void DialMonitor::linkEnded(int handle) {
    if (!form_.autodialstatus->enabled() || handle != session_.connhandle) return;
    autodialstatusTimer();
}

}  // namespace zenrun
