#include "backend/endpoints.h"

#include <QStringEncoder>
#include <QUrl>

#include "backend/mystring.h"
#include "core/session.h"
#include "platform/http.h"

#ifndef ZENRUN_PRIMARY_HOST
#define ZENRUN_PRIMARY_HOST "127.0.0.1:9000"
#endif
#ifndef ZENRUN_SECONDARY_HOST
#define ZENRUN_SECONDARY_HOST "127.0.0.2:9000"
#endif
#ifndef ZENRUN_CLIENTPAGE_HOST
#define ZENRUN_CLIENTPAGE_HOST "127.0.0.1:9000"
#endif
#ifndef ZENRUN_ACCOUNT_HOST
#define ZENRUN_ACCOUNT_HOST "127.0.0.1:9000"
#endif
#ifndef ZENRUN_HELP_HOST
#define ZENRUN_HELP_HOST "127.0.0.1:9000"
#endif
#ifndef ZENRUN_CUSTOMER_SERVICE_URL
#define ZENRUN_CUSTOMER_SERVICE_URL "http://127.0.0.1:9000/kivclient11/service.htm"
#endif

namespace zenrun {

Hosts Hosts::defaults() {
    Hosts h;
    h.primary = QStringLiteral(ZENRUN_PRIMARY_HOST);
    h.secondary = QStringLiteral(ZENRUN_SECONDARY_HOST);
    h.clientPages = QStringLiteral(ZENRUN_CLIENTPAGE_HOST);
    h.accountSite = QStringLiteral(ZENRUN_ACCOUNT_HOST);
    h.siblingAccount = QStringLiteral(ZENRUN_ACCOUNT_HOST);
    h.siblingPages = QStringLiteral(ZENRUN_CLIENTPAGE_HOST);
    h.helpSite = QStringLiteral(ZENRUN_HELP_HOST);
    h.customerService = QStringLiteral(ZENRUN_CUSTOMER_SERVICE_URL);
    return h;
}

QString langpath(const char* path, int langindex) {
    QString p = QString::fromLatin1(path);
    const QString suffix = langindex == 2   ? QStringLiteral("_en")
                           : langindex == 3 ? QStringLiteral("_tw")
                                            : QString();
    const qsizetype at = p.indexOf(QLatin1String(".php"));
    if (!suffix.isEmpty() && at >= 0) p.insert(at, suffix);
    return p;
}

QString endpointurl(const QString& host, const QString& path) {
    return QStringLiteral("http://") + host + path;
}

QString queryvalue(const QString& value) {
    QStringEncoder enc(ZENRUN_ANSI_CODEPAGE);
    const QByteArray bytes = enc.isValid() ? QByteArray(enc.encode(value)) : value.toUtf8();
    return QString::fromLatin1(bytes.toPercentEncoding());
}

QString vpnlisturl(const Session& s, const QString& user) {
    return endpointurl(s.serverhost, langpath(paths::kVpnList, s.langindex)) +
           QStringLiteral("?viewstr=") + queryvalue(s.viewcode) + QStringLiteral("&&viewuser=") +
           queryvalue(user);
}

QString flushvpnlisturl(const Session& s) {
    return endpointurl(s.serverhost, langpath(paths::kFlushVpnList, s.langindex)) +
           QStringLiteral("?viewstr=") + queryvalue(s.viewcode) + QStringLiteral("&&viewuser=") +
           queryvalue(s.username);
}

ProbeFields parseprobereply(const QString& reply) {
    const auto f = strings(reply).split5(QStringLiteral("-"));
    ProbeFields out;
    out.userpeerip = f[0];
    out.newversion = f[1];
    out.serverhostip = f[2];
    strings update(f[3]);
    update.settext(update.split5(QStringLiteral("("))[0]);
    out.updateurl = update.split5(QStringLiteral(")"))[0];
    out.routeenable = f[4];
    return out;
}

bool probehosts(Session& session, Http& http, const Hosts& hosts) {
    const QString path = QString::fromLatin1(paths::kNetCheck);
    strings reply(gethtml(http, endpointurl(hosts.primary, path)));
    if (!reply.gettext().isEmpty()) {
        session.serverhost = hosts.primary;
        session.serverhost2 = hosts.secondary;
    } else {
        reply.settext(gethtml(http, endpointurl(hosts.secondary, path)));
        if (reply.gettext().isEmpty()) return false;
        session.serverhost = hosts.secondary;
        session.serverhost2 = hosts.primary;
    }
    const ProbeFields f = parseprobereply(reply.gettext());
    session.userpeerip = f.userpeerip;
    session.newversion = f.newversion;
    session.serverhostip = f.serverhostip;
    session.updateurl = f.updateurl;
    session.routeenable = f.routeenable;
    return true;
}

}  // namespace zenrun
