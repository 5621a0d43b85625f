#include "server/service.h"

#include <QDate>
#include <QRandomGenerator>
#include <cstring>
#include <ctime>

#include "core/textutil.h"
#include "server/codec.h"

namespace zenrun::server {

namespace {

const std::string kAdmin = "/vpnadmin/useradmin/";

QString field(const Params& p, const char* name) {
    const auto it = p.find(name);
    return it == p.end() ? QString() : it->second;
}

Reply text(const QString& s) {
    return Reply{200, togbk(s), "text/plain; charset=GBK"};
}

Reply html(const QString& s) {
    return Reply{200, togbk(s), "text/html; charset=GBK"};
}

QString randomtext(int n, const char* alphabet) {
    const int size = static_cast<int>(std::strlen(alphabet));
    QString s;
    for (int i = 0; i < n; ++i)
        s += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(size)]);
    return s;
}

const char kAlnum[] = "abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";

bool alnumname(const QString& s) {
    if (s.isEmpty() || s.size() > 32) return false;
    for (const QChar c : s)
        if (c.unicode() > 127 || !c.isLetterOrNumber()) return false;
    return true;
}

// Cuts "_en"/"_tw" from a language form; false when the path has none.
bool splitlang(const std::string& path, std::string& base, Lang& lang) {
    for (const auto& [suffix, l] :
         {std::pair{"_en.php", Lang::En}, std::pair{"_tw.php", Lang::Tw}}) {
        const std::string s = suffix;
        if (path.size() > s.size() && path.compare(path.size() - s.size(), s.size(), s) == 0) {
            base = path.substr(0, path.size() - s.size()) + ".php";
            lang = l;
            return true;
        }
    }
    return false;
}

int hexval(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

QByteArray percentdecode(const std::string& s) {
    QByteArray out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && hexval(s[i + 1]) >= 0 &&
                   hexval(s[i + 2]) >= 0) {
            out += static_cast<char>(hexval(s[i + 1]) * 16 + hexval(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Built-in pages, used when the data file brings none for the path.
QString builtinpage(const std::string& path) {
    const QString head = QStringLiteral(
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
        "<title>Zenrun</title></head><body style=\"margin:0;font-family:sans-serif\">");
    const QString tail = QStringLiteral("</body></html>");
    if (path == "/kivclient11/maintop.htm" || path == "/kivclient11/top.htm")
        return head +
               QStringLiteral(
                   "<div style=\"background:#1c6ea4;color:#fff;padding:8px\">"
                   "Zenrun 游戏加速</div>") +
               tail;
    if (path == "/kivclient11/news.htm")
        return head + QStringLiteral("<ul><li>欢迎使用 Zenrun 游戏加速。</li></ul>") + tail;
    if (path == kAdmin + "user_self_new.php")
        return head +
               QStringLiteral(
                   "<h3>帐户注册</h3><form method=\"post\" action=\"user_self_new_savekiv11.php\">"
                   "用户名: <input name=\"UserID\"><br>密码: <input type=\"password\" "
                   "name=\"Upassword\"><br>确认密码: <input type=\"password\" "
                   "name=\"Upassword2\"><br><input type=\"hidden\" name=\"User_True\">"
                   "电话: <input name=\"User_Mobile\"><br>邮箱: <input name=\"Email_Address\"><br>"
                   "QQ/MSN: <input name=\"User_QQ\"><br>地址: <input name=\"User_Address\"><br>"
                   "<input type=\"submit\" value=\"注册\"></form>") +
               tail;
    return {};
}

}  // namespace

Params parseparams(const std::string& text) {
    Params out;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t amp = text.find('&', from);
        if (amp == std::string::npos) amp = text.size();
        const std::string part = text.substr(from, amp - from);
        from = amp + 1;
        if (part.empty()) continue;
        const std::size_t eq = part.find('=');
        const std::string name = percentdecode(part.substr(0, eq)).toStdString();
        const QString value =
            eq == std::string::npos ? QString() : fromgbk(percentdecode(part.substr(eq + 1)));
        out.emplace(name, value);  // the first occurrence stays
    }
    return out;
}

Service::Service(Data data, Store& store) : data_(std::move(data)), store_(store) {
    if (data_.accountinfo.zh.isEmpty()) {
        data_.accountinfo.zh = QStringLiteral("到期时间：{expires}");
        data_.accountinfo.en = QStringLiteral("Expires: {expires}");
        data_.accountinfo.tw = QStringLiteral("到期時間：{expires}");
    }
    for (const SeedAccount& a : data_.accounts) store_.seed({a.user, a.password, a.expires});
}

std::optional<Reply> Service::handle(const std::string& method, const std::string& path,
                                     const Params& query, const Params& form,
                                     const std::string& peer) {
    const bool get = method == "GET";
    const bool post = method == "POST";
    std::string base = path;
    Lang lang = Lang::Zh;
    const bool localized = splitlang(path, base, lang);
    if (base == kAdmin + "usercheckkiv11.php" && post) return login(lang, form);
    if (base == kAdmin + "vpnlistkiv11.php" && get) return linelist(lang, query);
    if (base == kAdmin + "flushvpnlistkiv11.php" && get) return linelist(lang, query);
    if (base == kAdmin + "routelistkiv11.php" && get) return routelist(lang);
    if (localized) return std::nullopt;  // no other endpoint has language forms
    if (path == kAdmin + "netcheckkiv11.php" && get) return probe(peer);
    if ((path == kAdmin + "ipcheckkiv11.php" || path == kAdmin + "ipcheckqo168.php") && post)
        return ipcheck(form);
    if (path == kAdmin + "statuscheckkiv11.php" && post) return status(form);
    if (path == kAdmin + "mypass_savekiv11.php" && post) return passsave(form, peer);
    if (path == kAdmin + "user_self_new_savekiv11.php" && post) return registration(form, peer);
    if (get) return page(path);
    return std::nullopt;
}

Reply Service::probe(const std::string& peer) const {
    const QString sep = QStringLiteral("-");
    return text(QString::fromStdString(peer) + sep + data_.version + sep + data_.routehostip + sep +
                data_.update + sep + data_.routeenable);
}

std::optional<Store::Account> Service::signin(const QString& user, const QString& password) {
    if (user.isEmpty()) return std::nullopt;
    auto account = store_.account(user);
    if (!account || account->password != password) return std::nullopt;
    return account;
}

Reply Service::login(Lang lang, const Params& form) {
    const auto account = signin(field(form, "UserID"), field(form, "Upassword"));
    if (!account) return text(QStringLiteral("error"));
    QString info = data_.accountinfo.pick(lang);
    info.replace(QStringLiteral("{expires}"), account->expires);
    return text(info);
}

Reply Service::linelist(Lang lang, const Params& query) {
    // The viewstr proves the caller knows the account's password: it is recomputed from
    // the stored account. Anything wrong gives the empty reply, the one failure signal.
    const auto account = store_.account(field(query, "viewuser"));
    if (!account ||
        logincodes(account->user, account->password).viewcode != field(query, "viewstr"))
        return text(QString());
    QString ini;
    for (const Area& area : data_.areas) {
        ini += QLatin1Char('[') + area.name.pick(lang) + QStringLiteral("]\r\n");
        for (const Line& line : area.lines)
            ini += line.name.pick(lang) + QLatin1Char('=') + encodelineaddr(line.address) +
                   QLatin1Char(',') + line.onlinerate + QLatin1Char(',') +
                   QString::number(line.l2tp) + QLatin1Char(',') + line.type +
                   QStringLiteral("\r\n");
    }
    return text(ini);
}

Reply Service::routelist(Lang lang) const {
    QString ini;
    for (const RouteMode& mode : data_.routemodes) {
        ini += QLatin1Char('[') + mode.name.pick(lang) + QStringLiteral("]\r\n");
        int key = 0;
        for (const auto& [destination, mask] : mode.networks)
            ini += QString::number(++key) + QLatin1Char('=') + destination + QLatin1Char('|') +
                   mask + QStringLiteral("\r\n");
    }
    return text(ini);
}

QString Service::dialuserfor(const QString& user) const {
    // Dial user names stay ASCII: the client turns the decoded bytes into characters one
    // by one, so a name in another script would arrive garbled.
    return data_.dialprefix + (alnumname(user) ? user : md5hex(user).left(12));
}

Reply Service::ipcheck(const Params& form) {
    const QString user = field(form, "username");
    const QString serverip = field(form, "serverip");
    const auto account = signin(user, field(form, "Upassword"));
    const Line* line = data_.linebyaddress(serverip);
    if (!account || !line) return text(QStringLiteral("error"));
    const LoginCodes lc = logincodes(account->user, account->password);
    const FirstShowCodes fs = firstshowcodes(lc.usercode, lc.passcode);
    if (connectcodes(fs.chaincode1, fs.chaincode2, account->password).checkcode !=
        field(form, "checkcode"))
        return text(QStringLiteral("error"));
    switch (line->ipcheck) {
        case IpCheckMode::Accept:
            return text(QLatin1String(kAcceptToken));
        case IpCheckMode::Issue: {
            const QString dialuser =
                data_.dialprefix + randomtext(8, "abcdefghjkmnpqrstuvwxyz23456789");
            const QString dialpass = randomtext(12, kAlnum);
            store_.grant({account->user, serverip, dialuser, dialpass});
            return text(encodedialuser(dialuser) + QLatin1String(kSeparatorA) +
                        encodedialpass(dialpass, randomtext(8, kAlnum)));
        }
        case IpCheckMode::Account:
            return text(QStringLiteral("user") + QLatin1String(kSeparatorB) +
                        encodedialuser(dialuserfor(account->user)));
        case IpCheckMode::Refuse:
            return text(QStringLiteral("error"));
        case IpCheckMode::Empty:
            break;
    }
    return text(QString());
}

Reply Service::status(const Params& form) {
    Store::Report r;
    r.user = field(form, "username");
    r.uniqueid = field(form, "uniqueid");
    if (r.uniqueid.isEmpty() || !store_.account(r.user)) return text(QStringLiteral("error"));
    r.serverip = field(form, "serverip");
    r.userpeerip = field(form, "userpeerip");
    r.clientip = field(form, "clientip");
    r.xmitdata = field(form, "xmitdata");
    r.recvdata = field(form, "recvdata");
    r.onlinetime = field(form, "onlinetime");
    const bool over = store_.report(r, static_cast<std::int64_t>(std::time(nullptr)),
                                    data_.sessionttl, data_.limitfor(r.user));
    return text(over ? QLatin1String(kOverLimitToken) : QLatin1String("ok"));
}

Reply Service::passsave(const Params& form, const std::string& peer) {
    const QString user = field(form, "UserID");
    const QString newpass = field(form, "Upassword1");
    if (newpass.trimmed().size() < 6 || newpass != field(form, "Upassword2"))
        return text(QStringLiteral("0"));
    if (!store_.changepassword(user, field(form, "Upassword"), newpass,
                               QString::fromStdString(peer)))
        return text(QStringLiteral("1"));
    return text(QStringLiteral("ok"));
}

Reply Service::registration(const Params& form, const std::string& peer) {
    if (!data_.registration) return text(QStringLiteral("1"));
    Store::Registration r;
    r.user = field(form, "UserID");
    r.password = field(form, "Upassword");
    r.truename = field(form, "User_True");
    r.mobile = field(form, "User_Mobile");
    r.email = field(form, "Email_Address");
    r.qq = field(form, "User_QQ");
    r.address = field(form, "User_Address");
    r.peer = QString::fromStdString(peer);
    const bool contact = !(r.mobile.trimmed().isEmpty() && r.email.trimmed().isEmpty() &&
                           r.qq.trimmed().isEmpty() && r.address.trimmed().isEmpty());
    if (!alnumname(r.user) || r.password.trimmed().size() < 6 ||
        r.password != field(form, "Upassword2") || !contact)
        return text(QStringLiteral("0"));
    const QString expires =
        QDate::currentDate().addDays(data_.trialdays).toString(QStringLiteral("yyyy-MM-dd"));
    if (!store_.registeraccount(r, expires)) return text(QStringLiteral("2"));
    return text(QStringLiteral("ok"));
}

std::optional<Reply> Service::page(const std::string& path) const {
    const auto it = data_.pages.find(path);
    if (it != data_.pages.end()) return html(it->second);
    const QString builtin = builtinpage(path);
    if (builtin.isEmpty()) return std::nullopt;
    return html(builtin);
}

}  // namespace zenrun::server
