#include "lines/linkwatcher.h"

#include <QLabel>
#include <QSystemTrayIcon>

#include "core/langtext.h"
#include "core/session.h"
#include "core/textutil.h"
#include "lines/speedtest.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "ui/mainwindow.h"

namespace zenrun {

LinkWatcher::LinkWatcher(Session& session, Platform& platform, Tfrmmain& form, SpeedTest& speedTest)
    : session_(session), platform_(platform), form_(form), speedTest_(speedTest) {}

QString LinkWatcher::noticetext() const {
    const QString info =
        session_.langindex == 3 ? totraditional(session_.userinfo) : session_.userinfo;
    return langtext(session_, QStringLiteral("UserName:"), QStringLiteral("用户名:")) +
           session_.username + QLatin1Char('\n') + info;
}

QString LinkWatcher::cut(const QString& text, int max) {
    if (text.size() <= max) return text;
    int n = max;
    if (n > 0 && text.at(n - 1).isHighSurrogate()) --n;
    return text.left(n);
}

void LinkWatcher::Timer2Timer() {
    const QString notice = noticetext();
    if (form_.statuslabel->text() !=
        langtext(session_, QStringLiteral("Connected"), QStringLiteral("连接成功")))
        return;
    if (session_.taskmincheck == QLatin1String("2")) form_.hide();  // to the tray
    form_.RzTrayIcon1->setToolTip(form_.windowTitle());
    platform_.dialogs->trayBalloon(cut(form_.windowTitle(), kTitleMax), cut(notice, kTextMax),
                                   MsgIcon::Information, 10000);
    form_.Timer2->setEnabled(false);
    speedTest_.stop();
}

}  // namespace zenrun
