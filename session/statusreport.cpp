#include "session/statusreport.h"

#include <QLabel>

#include "backend/endpoints.h"
#include "core/appinfo.h"
#include "core/langtext.h"
#include "core/session.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/http.h"
#include "platform/platform.h"
#include "platform/ras.h"
#include "session/linkactions.h"
#include "session/traffictext.h"
#include "ui/mainwindow.h"

namespace zenrun {

StatusReport::StatusReport(Session& session, Platform& platform, Tfrmmain& form,
                           const LinkActions& actions)
    : session_(session), platform_(platform), form_(form), actions_(actions) {}

void StatusReport::statuscheckTimer() {
    // Links dialled with the account's own password are never reported, whoever left the
    // timer running.
    if (session_.dialaccount || !platform_.ras) return;
    Ras& ras = *platform_.ras;
    ras.currentStatusEx(session_.connhandle);
    ras.watch(kTrafficSlot, session_.connhandle);
    if (ras.connectState() != kRasConnected) return;
    ras.refreshCounters();

    QString clientip;
    if (const auto projection = ras.ipProjection(session_.connhandle))
        clientip = projection->clientAddress;
    if (const QString phone = ras.phoneNumberOf(session_.entryname); !phone.isEmpty())
        session_.serverip = phone;

    const QString reported = session_.uniqueid;
    const FormFields form{
        {QStringLiteral("serverip"), session_.serverip},
        {QStringLiteral("userpeerip"), session_.userpeerip},
        {QStringLiteral("clientip"), clientip},
        {QStringLiteral("uniqueid"), reported},
        {QStringLiteral("username"), session_.username},
        {QStringLiteral("xmitdata"), QString::number(ras.bytesXmited())},
        {QStringLiteral("recvdata"), QString::number(ras.bytesRcved())},
        {QStringLiteral("onlinetime"),
         QString::number(onlinemillis(session_.conntime, platform_.clock->now()))},
    };
    const HttpReply reply = platform_.http->post(
        endpointurl(session_.serverhost, QString::fromLatin1(paths::kStatusCheck)), form,
        kReadTimeoutMs, QString::fromLatin1(kUserAgent));
    platform_.clock->processEvents();
    if (!reply.ok) return;  // lost; the next tick reports again
    if (reply.body != QLatin1String(kOverLimitReply)) return;
    // The window kept handling events during the request: a link dialled since then is
    // another session, and the verdict is not about it.
    if (session_.uniqueid != reported) return;

    if (actions_.disconnect) actions_.disconnect();
    form_.statuslabel->setText(
        langtext(session_, QStringLiteral("Disconnected"), QStringLiteral("已经断开")));
    platform_.dialogs->messageBox(
        QString::fromUtf8(kAppTitle),
        langtext(session_,
                 QStringLiteral("Your account has been beyond the online computer connection "
                                "number, please check the previous connection is disconnected"),
                 QStringLiteral("您的帐户已经超出在线电脑连接数，请检查以前的连接是否断开")),
        MsgIcon::Warning, MsgButtons::Ok);
}

}  // namespace zenrun
