#pragma once

#include <QString>

namespace zenrun {

struct Session;
class Http;

// Hosts of the service, each "host:port". Defaults are build-time constants; tests and
// tools hand in their own.
struct Hosts {
    QString primary;         // back-end, probed first; fixed host of the account dialogs
    QString secondary;       // back-end fallback
    QString clientPages;     // banner page of the login window
    QString accountSite;     // web registration page
    QString siblingAccount;  // pages behind hidden menu items
    QString siblingPages;
    QString helpSite;
    QString customerService;  // chat page of the login window's hidden button (a full URL)
    static Hosts defaults();
};

// Paths of the back-end.
namespace paths {
inline constexpr char kNetCheck[] = "/vpnadmin/useradmin/netcheckkiv11.php";
inline constexpr char kUserCheck[] = "/vpnadmin/useradmin/usercheckkiv11.php";
inline constexpr char kVpnList[] = "/vpnadmin/useradmin/vpnlistkiv11.php";
inline constexpr char kFlushVpnList[] = "/vpnadmin/useradmin/flushvpnlistkiv11.php";
inline constexpr char kRouteList[] = "/vpnadmin/useradmin/routelistkiv11.php";
inline constexpr char kIpCheck[] = "/vpnadmin/useradmin/ipcheckkiv11.php";
inline constexpr char kIpCheckRotate[] = "/vpnadmin/useradmin/ipcheckqo168.php";
inline constexpr char kStatusCheck[] = "/vpnadmin/useradmin/statuscheckkiv11.php";
inline constexpr char kPassSave[] = "/vpnadmin/useradmin/mypass_savekiv11.php";
inline constexpr char kRegisterSave[] = "/vpnadmin/useradmin/user_self_new_savekiv11.php";
inline constexpr char kRegisterPage[] = "/vpnadmin/useradmin/user_self_new.php";
inline constexpr char kMainTop[] = "/kivclient11/maintop.htm";
inline constexpr char kNews[] = "/kivclient11/news.htm";
inline constexpr char kLoginTop[] = "/kivclient11/top.htm";
}  // namespace paths

// The language form of a path: "_en" (language 2) or "_tw" (language 3) before ".php".
QString langpath(const char* path, int langindex);
// "http://" + host + path.
QString endpointurl(const QString& host, const QString& path);
// A value for a query string: encoded in the ANSI code page and percent-encoded, so that it
// can never add or change a parameter.
QString queryvalue(const QString& value);
// The line-list URLs (login and refresh).
QString vpnlisturl(const Session& s, const QString& user);
QString flushvpnlisturl(const Session& s);

// The five fields of the probe reply ("peer-version-routehost-(update)-routeenable"), cut
// with the splitting rule: an empty field moves the later ones up.
struct ProbeFields {
    QString userpeerip, newversion, serverhostip, updateurl, routeenable;
};
ProbeFields parseprobereply(const QString& reply);

// Picks the back-end host: primary, else secondary. On success fills serverhost,
// serverhost2 and the five probe fields; on failure changes nothing.
bool probehosts(Session& session, Http& http, const Hosts& hosts);

}  // namespace zenrun
