#pragma once

#include <QString>
#include <atomic>

#include "core/inidocument.h"
#include "core/linerecord.h"

namespace zenrun {

// Everything the windows share for the life of the process. Plain values: the record has no
// behaviour; each field's writers and readers are the subsystems named beside it.
// "Switch" options hold "2" for on and "1" for off (empty until loaded, which counts as off).
struct Session {
    // The one record of the running client (tests build their own).
    static Session& instance();

    // Account and back-end (login)
    bool loginok = false;
    QString username;
    QString userpass;
    QString userinfo;
    QString serverhost;   // "host:port", no scheme
    QString serverhost2;  // the fallback host
    QString userpeerip;
    QString newversion;
    QString serverhostip;
    QString updateurl;
    QString updateflag;
    QString routeenable;

    // Codes derived from the credentials
    QString usercode;
    QString passcode;
    QString upcode;
    QString upcode2;
    QString viewcode;
    QString chaincode1;
    QString chaincode2;
    QString checkcode;

    // Interface
    int langindex = 0;  // 1 simplified, 2 English, 3 traditional; 0 behaves as 1
    QString firstshow;
    int hotkeyid = 0;
    QString apppath;  // program folder with a trailing '/'

    // Lines and the link
    IniDocument lineini;
    IniDocument routeini;
    LineNode connnode;
    LineNode changenode;
    int searcharea = 0;
    QString linetype;
    QString entryname;
    QString serverip;
    bool dialaccount = false;
    QString uniqueid;
    double conntime = 0.0;  // day count since 1899-12-30
    int connhandle = 0;
    bool connected = false;
    bool routesadded = false;
    std::atomic<bool> pinging{false};  // read by the latency workers
    int redialcount = 0;
    int vercheckcount = 0;

    // Options mirror (settings)
    QString aclcheck;
    QString acltime;
    QString acldelcheck;
    QString shortcutkeycheck;
    QString shortcutname;
    QString shortcutdelcheck;
    QString redialcheck;
    QString redialtime;
    QString taskmincheck;

    // DNS state
    QString localdnsip;
    QString localdnstype;  // "2" static, "3" from DHCP
    QString dnschanged;
};

}  // namespace zenrun
