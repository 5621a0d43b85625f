// The client's endpoint code against a real zenrun-backend on loopback: every endpoint's
// replies as the client reads them, the language forms, the code page on the wire and the
// fault switches.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QStringDecoder>
#include <QStringEncoder>

#include "backend/endpoints.h"
#include "backend/mystring.h"
#include "backendfixture.h"
#include "core/session.h"
#include "core/textutil.h"
#include "platform/linux/qthttp.h"

using namespace zenrun;
using zenrun::testing::BackendFixture;

namespace {

const QString kAccept = QStringLiteral("a91e7d02kb6wq3f5e80d4c17b9f2ea06");
const QString kSepA = QStringLiteral("5d3c9b27f0e61a48d9b5c03e7a2f6d19");
const QString kSepB = QStringLiteral("5d3c9b27f0e61a48d9b5c03e7a2f6d18");
const QString kOverLimit = QStringLiteral("7f1c04e9ab3d58c26e90f7a41b8d3c65");

QString path(const char* p, int langindex = 0) {
    return langpath(p, langindex);
}

QString post(BackendFixture& b, const QString& p, const FormFields& form) {
    QtHttp http;
    const HttpReply r = http.post(b.url(p), form, 4000, QStringLiteral("test"));
    EXPECT_TRUE(r.ok) << p.toStdString() << ": " << r.error.toStdString();
    return r.body;
}

QString get(BackendFixture& b, const QString& p, int timeoutMs = kGetReadTimeoutMs) {
    QtHttp http;
    return gethtml(http, b.url(p), timeoutMs);
}

// A session as the login leaves it for `user`.
void signin(Session& s, const BackendFixture& b, const QString& user, const QString& pass,
            int langindex = 0) {
    s.serverhost = b.host();
    s.username = user;
    s.userpass = pass;
    s.langindex = langindex;
    s.viewcode = logincodes(user, pass).viewcode;
}

QString checkcode(const QString& user, const QString& pass) {
    const LoginCodes lc = logincodes(user, pass);
    const FirstShowCodes fs = firstshowcodes(lc.usercode, lc.passcode);
    return connectcodes(fs.chaincode1, fs.chaincode2, pass).checkcode;
}

FormFields ipcheckform(const QString& serverip, const QString& user, const QString& pass,
                       const QString& code) {
    return {{QStringLiteral("serverip"), serverip},
            {QStringLiteral("username"), user},
            {QStringLiteral("Upassword"), pass},
            {QStringLiteral("checkcode"), code}};
}

FormFields statusform(const QString& user, const QString& uniqueid) {
    return {{QStringLiteral("serverip"), QStringLiteral("127.0.1.2")},
            {QStringLiteral("userpeerip"), QStringLiteral("127.0.0.1")},
            {QStringLiteral("clientip"), QStringLiteral("10.8.0.2")},
            {QStringLiteral("uniqueid"), uniqueid},
            {QStringLiteral("username"), user},
            {QStringLiteral("xmitdata"), QStringLiteral("1024")},
            {QStringLiteral("recvdata"), QStringLiteral("4096")},
            {QStringLiteral("onlinetime"), QStringLiteral("90000")}};
}

// The demo data with extra accounts (name, password).
QJsonObject withaccounts(std::initializer_list<std::pair<QString, QString>> accounts) {
    QJsonObject data = BackendFixture::demoData();
    QJsonArray list = data[QStringLiteral("accounts")].toArray();
    for (const auto& [user, pass] : accounts)
        list.append(QJsonObject{{QStringLiteral("user"), user},
                                {QStringLiteral("password"), pass},
                                {QStringLiteral("expires"), QStringLiteral("2030-01-01")}});
    data[QStringLiteral("accounts")] = list;
    return data;
}

struct DemoLine {
    QString area, name, address, onlinerate, l2tp, type, ipcheck;
};

std::vector<DemoLine> demolines(const QString& lang = {}) {
    std::vector<DemoLine> out;
    const QString nameKey = QStringLiteral("name") + lang;
    for (const QJsonValue a : BackendFixture::demoData()[QStringLiteral("areas")].toArray())
        for (const QJsonValue l : a[QStringLiteral("lines")].toArray())
            out.push_back({a[nameKey].toString(), l[nameKey].toString(),
                           l[QStringLiteral("address")].toString(),
                           l[QStringLiteral("onlinerate")].toString(),
                           QString::number(l[QStringLiteral("l2tp")].toInt()),
                           l[QStringLiteral("type")].toString(),
                           l[QStringLiteral("ipcheck")].toString()});
    return out;
}

// The primary's hosts with the second fixture as the fallback back-end.
Hosts probepair(const BackendFixture& primary, const BackendFixture& secondary) {
    Hosts hosts = primary.hosts();
    hosts.secondary = secondary.host();
    return hosts;
}

#define START(backend) ASSERT_TRUE((backend).started()) << (backend).error().toStdString()

}  // namespace

// ---- Host probe ---------------------------------------------------------------------

TEST(BackendProbe, PrimaryAnswers) {
    BackendFixture primary, secondary;
    START(primary);
    START(secondary);
    const Hosts hosts = probepair(primary, secondary);
    QtHttp http;
    Session s;
    ASSERT_TRUE(probehosts(s, http, hosts));
    EXPECT_EQ(s.serverhost, primary.host());
    EXPECT_EQ(s.serverhost2, secondary.host());
    EXPECT_EQ(s.userpeerip, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(s.newversion, QStringLiteral("11.0"));
    EXPECT_EQ(s.serverhostip, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(s.updateurl, QStringLiteral("http://127.0.0.1:9000/kivclient11/zenrun_11_1.tar.gz"));
    EXPECT_EQ(s.routeenable, QStringLiteral("2"));
}

TEST(BackendProbe, OnlySecondaryAnswers) {
    BackendFixture primary(
        {{}, {QString::fromLatin1(paths::kNetCheck) + QStringLiteral("=close")}});
    BackendFixture secondary;
    START(primary);
    START(secondary);
    const Hosts hosts = probepair(primary, secondary);
    QtHttp http;
    Session s;
    ASSERT_TRUE(probehosts(s, http, hosts));
    EXPECT_EQ(s.serverhost, secondary.host());
    EXPECT_EQ(s.serverhost2, primary.host());
    EXPECT_EQ(s.routeenable, QStringLiteral("2"));
}

TEST(BackendProbe, NeitherAnswersLeavesTheSessionAlone) {
    BackendFixture primary, secondary;
    START(primary);
    START(secondary);
    const QString netcheck = QString::fromLatin1(paths::kNetCheck);
    ASSERT_TRUE(primary.setFault(netcheck, QStringLiteral("empty")));
    ASSERT_TRUE(secondary.setFault(netcheck, QStringLiteral("status:503")));
    const Hosts hosts = probepair(primary, secondary);
    QtHttp http;
    Session s;
    s.serverhost = QStringLiteral("unchanged");
    EXPECT_FALSE(probehosts(s, http, hosts));
    EXPECT_EQ(s.serverhost, QStringLiteral("unchanged"));
    EXPECT_TRUE(s.userpeerip.isEmpty());

    // Switched back at run time, the primary answers again.
    ASSERT_TRUE(primary.setFault(netcheck, QStringLiteral("none")));
    EXPECT_TRUE(probehosts(s, http, hosts));
    EXPECT_EQ(s.serverhost, primary.host());
}

// ---- Login --------------------------------------------------------------------------

TEST(BackendLogin, RepliesPerCredentialsAndLanguage) {
    BackendFixture b({withaccounts({{QStringLiteral("张三"), QStringLiteral("密码123456")}}), {}});
    START(b);
    struct Case {
        QString user, pass;
        int langindex;
        QString reply;
    } cases[] = {
        {"demo", "demo123", 0, QStringLiteral("到期时间：2027-12-31")},
        {"demo", "demo123", 1, QStringLiteral("到期时间：2027-12-31")},
        {"demo", "demo123", 2, QStringLiteral("Expires: 2027-12-31")},
        {"demo", "demo123", 3, QStringLiteral("到期時間：2027-12-31")},
        {"demo", "wrong", 0, QStringLiteral("error")},
        {"demo", "wrong", 2, QStringLiteral("error")},
        {"nobody", "demo123", 0, QStringLiteral("error")},
        {"demo", "", 0, QStringLiteral("error")},
        {"Demo", "demo123", 0, QStringLiteral("error")},
        // Non-ASCII credentials travel in GBK and are read back in GBK.
        {QStringLiteral("张三"), QStringLiteral("密码123456"), 0,
         QStringLiteral("到期时间：2030-01-01")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(post(b, path(paths::kUserCheck, c.langindex),
                       {{QStringLiteral("UserID"), c.user}, {QStringLiteral("Upassword"), c.pass}}),
                  c.reply)
            << c.user.toStdString() << "/" << c.pass.toStdString() << " lang " << c.langindex;
}

// ---- Line list ----------------------------------------------------------------------

TEST(BackendLineList, ListsEveryDemoLineWithRecoverableAddresses) {
    BackendFixture b;
    START(b);
    QtHttp http;
    Session s;
    signin(s, b, QStringLiteral("demo"), QStringLiteral("demo123"));
    for (const QString& url : {vpnlisturl(s, s.username), flushvpnlisturl(s)}) {
        const QString reply = gethtml(http, url);
        ASSERT_FALSE(reply.isEmpty()) << url.toStdString();
        const IniDocument ini = IniDocument::parse(reply);
        const auto lines = demolines();
        EXPECT_EQ(ini.sections(), (QStringList{QStringLiteral("华东"), QStringLiteral("华南"),
                                               QStringLiteral("华北"), QStringLiteral("海外")}));
        int count = 0;
        for (const DemoLine& l : lines) {
            const strings value(ini.value(l.area, l.name));
            const auto f = value.split5(QStringLiteral(","));
            EXPECT_EQ(decodelineaddr(f[0]), l.address) << l.name.toStdString();
            EXPECT_NE(f[0], l.address) << "the address must travel in its stored form";
            EXPECT_EQ(f[1], l.onlinerate);
            EXPECT_EQ(f[2], l.l2tp);
            EXPECT_EQ(f[3], l.type);
            ++count;
        }
        EXPECT_EQ(count, 12);
    }
}

TEST(BackendLineList, LanguageForms) {
    BackendFixture b;
    START(b);
    QtHttp http;
    for (const auto& [langindex, suffix, firstArea] :
         {std::tuple{1, QString(), QStringLiteral("华东")},
          std::tuple{2, QStringLiteral("_en"), QStringLiteral("East China")},
          std::tuple{3, QStringLiteral("_tw"), QStringLiteral("華東")}}) {
        Session s;
        signin(s, b, QStringLiteral("demo"), QStringLiteral("demo123"), langindex);
        const IniDocument ini = IniDocument::parse(gethtml(http, vpnlisturl(s, s.username)));
        ASSERT_FALSE(ini.isEmpty()) << "lang " << langindex;
        EXPECT_EQ(ini.sections().first(), firstArea);
        for (const DemoLine& l : demolines(suffix))
            EXPECT_EQ(
                decodelineaddr(strings(ini.value(l.area, l.name)).split5(QStringLiteral(","))[0]),
                l.address)
                << l.name.toStdString();
    }
}

TEST(BackendLineList, WrongViewstrOrUserGivesTheEmptyReply) {
    BackendFixture b;
    START(b);
    QtHttp http;
    Session s;
    signin(s, b, QStringLiteral("demo"), QStringLiteral("demo123"));
    s.viewcode = logincodes(QStringLiteral("demo"), QStringLiteral("demo124")).viewcode;
    EXPECT_EQ(gethtml(http, vpnlisturl(s, s.username)), QString());
    signin(s, b, QStringLiteral("demo"), QStringLiteral("demo123"));
    EXPECT_EQ(gethtml(http, vpnlisturl(s, QStringLiteral("nobody"))), QString());
    s.viewcode.clear();
    EXPECT_EQ(gethtml(http, flushvpnlisturl(s)), QString());
}

TEST(BackendLineList, UserNameCannotAddOrChangeAParameter) {
    // With the name sent raw, "&viewuser=demo" would be a parameter of its own and the
    // list would be checked against the wrong account.
    const QString tricky = QStringLiteral("x&viewuser=demo&viewstr=0");
    BackendFixture b({withaccounts({{tricky, QStringLiteral("pw123456")},
                                    {QStringLiteral("张三"), QStringLiteral("密码123456")}}),
                      {}});
    START(b);
    QtHttp http;
    for (const auto& [user, pass] :
         {std::pair{tricky, QStringLiteral("pw123456")},
          std::pair{QStringLiteral("张三"), QStringLiteral("密码123456")}}) {
        Session s;
        signin(s, b, user, pass);
        const QString url = vpnlisturl(s, user);
        EXPECT_EQ(url.count(QLatin1Char('&')), 2) << url.toStdString();
        EXPECT_TRUE(url.contains(QStringLiteral("&&viewuser=")));
        EXPECT_EQ(IniDocument::parse(gethtml(http, url)).sections().size(), 4) << url.toStdString();
    }
}

// ---- Route list ---------------------------------------------------------------------

TEST(BackendRouteList, ModesPerLanguage) {
    BackendFixture b;
    START(b);
    for (const auto& [langindex, global, overseas] :
         {std::tuple{0, QStringLiteral("全局加速"), QStringLiteral("海外加速")},
          std::tuple{2, QStringLiteral("global"), QStringLiteral("Overseas")},
          std::tuple{3, QStringLiteral("全局加速"), QStringLiteral("海外加速")}}) {
        const IniDocument ini = IniDocument::parse(get(b, path(paths::kRouteList, langindex)));
        EXPECT_EQ(ini.sections(), (QStringList{global, overseas})) << "lang " << langindex;
        EXPECT_TRUE(ini.keys(global).isEmpty());
        const QStringList keys = ini.keys(overseas);
        EXPECT_GE(keys.size(), 300);
        for (const QString& k : keys) {
            const auto f = strings(ini.value(overseas, k)).split10(QStringLiteral("|"));
            EXPECT_EQ(f[0].count(QLatin1Char('.')), 3) << k.toStdString();
            EXPECT_TRUE(f[1].startsWith(QStringLiteral("255."))) << k.toStdString();
        }
    }
}

// ---- IP check -----------------------------------------------------------------------

TEST(BackendIpCheck, EveryReplyFormAndEveryIssuedPasswordDecodes) {
    BackendFixture b;
    START(b);
    const QString user = QStringLiteral("demo"), pass = QStringLiteral("demo123");
    const QString code = checkcode(user, pass);
    int issued = 0;
    for (const char* endpoint : {paths::kIpCheck, paths::kIpCheckRotate})
        for (const DemoLine& l : demolines()) {
            if (l.ipcheck.isEmpty()) continue;
            const QString reply = post(b, path(endpoint), ipcheckform(l.address, user, pass, code));
            const auto a = strings(reply).split5(kSepA);
            if (l.ipcheck == QLatin1String("accept")) {
                EXPECT_EQ(reply, kAccept);
            } else if (l.ipcheck == QLatin1String("issue")) {
                ASSERT_FALSE(a[1].isEmpty()) << reply.toStdString();
                const QString dialuser = base64decode(base64decode(a[0]));
                const QString dialpass = decodedialpass(a[1]);
                EXPECT_TRUE(dialuser.startsWith(QStringLiteral("zr")));
                EXPECT_EQ(dialpass.size(), 12);
                const QString grant = b.grants().value(issued++);
                EXPECT_EQ(grant, user + QLatin1Char('\t') + l.address + QLatin1Char('\t') +
                                     dialuser + QLatin1Char('\t') + dialpass);
            } else if (l.ipcheck == QLatin1String("account")) {
                EXPECT_TRUE(a[1].isEmpty());
                const auto bp = strings(reply).split5(kSepB);
                EXPECT_EQ(base64decode(base64decode(bp[1])), QStringLiteral("zrdemo"));
            }
        }
    EXPECT_EQ(issued, 6);
    EXPECT_EQ(b.grants().size(), 6);
}

TEST(BackendIpCheck, RefusesWhatTheClientCannotProve) {
    QJsonObject data = BackendFixture::demoData();
    // One refusing and one silent line next to the demo's.
    QJsonArray areas = data[QStringLiteral("areas")].toArray();
    QJsonObject area = areas[0].toObject();
    QJsonArray lines = area[QStringLiteral("lines")].toArray();
    lines.append(
        QJsonObject{{"name", "r"}, {"address", "127.0.2.1"}, {"type", "2"}, {"ipcheck", "refuse"}});
    lines.append(
        QJsonObject{{"name", "e"}, {"address", "127.0.2.2"}, {"type", "2"}, {"ipcheck", "empty"}});
    area[QStringLiteral("lines")] = lines;
    areas[0] = area;
    data[QStringLiteral("areas")] = areas;
    BackendFixture b({data, {}});
    START(b);
    const QString user = QStringLiteral("demo"), pass = QStringLiteral("demo123");
    const QString good = checkcode(user, pass);
    struct Case {
        const char* what;
        FormFields form;
        QString reply;
    } cases[] = {
        {"good", ipcheckform("127.0.1.4", user, pass, good), kAccept},
        {"checkcode of another password",
         ipcheckform("127.0.1.4", user, pass, checkcode(user, "x")), "error"},
        {"no checkcode", ipcheckform("127.0.1.4", user, pass, {}), "error"},
        {"wrong password", ipcheckform("127.0.1.4", user, "demo124", good), "error"},
        {"unknown user", ipcheckform("127.0.1.4", "nobody", pass, good), "error"},
        {"unknown line", ipcheckform("127.0.9.9", user, pass, good), "error"},
        {"refusing line", ipcheckform("127.0.2.1", user, pass, good), "error"},
        {"silent line", ipcheckform("127.0.2.2", user, pass, good), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(post(b, path(paths::kIpCheck), c.form), c.reply) << c.what;
}

// ---- Status report ------------------------------------------------------------------

TEST(BackendStatus, OverLimitOnceTheAccountHasTooManyLiveSessions) {
    BackendFixture b;
    START(b);
    const QString status = path(paths::kStatusCheck);
    const QString demo = QStringLiteral("demo");  // limit of two computers
    EXPECT_EQ(post(b, status, statusform(demo, "A")), QStringLiteral("ok"));
    EXPECT_EQ(post(b, status, statusform(demo, "B")), QStringLiteral("ok"));
    EXPECT_EQ(post(b, status, statusform(demo, "A")), QStringLiteral("ok"));
    EXPECT_EQ(post(b, status, statusform(demo, "C")), kOverLimit);
    // The earlier sessions carry on; the refused one stays refused while they live.
    EXPECT_EQ(post(b, status, statusform(demo, "B")), QStringLiteral("ok"));
    EXPECT_EQ(post(b, status, statusform(demo, "C")), kOverLimit);
    EXPECT_EQ(post(b, status, statusform("nobody", "A")), QStringLiteral("error"));
}

// ---- Account dialogs ----------------------------------------------------------------

FormFields registerform(const QString& user, const QString& pass, const QString& pass2,
                        const QString& email) {
    return {
        {QStringLiteral("UserID"), user},           {QStringLiteral("Upassword"), pass},
        {QStringLiteral("Upassword2"), pass2},      {QStringLiteral("User_True"), QString()},
        {QStringLiteral("User_Mobile"), QString()}, {QStringLiteral("Email_Address"), email},
        {QStringLiteral("User_QQ"), QString()},     {QStringLiteral("User_Address"), QString()}};
}

TEST(BackendAccounts, Registration) {
    BackendFixture b;
    START(b);
    const QString reg = path(paths::kRegisterSave);
    const QString mail = QStringLiteral("新用户@example.com");
    EXPECT_EQ(post(b, reg, registerform("alice1", "secret1", "secret1", mail)),
              QStringLiteral("ok"));
    EXPECT_EQ(post(b, reg, registerform("alice1", "secret2", "secret2", mail)),
              QStringLiteral("2"));
    EXPECT_EQ(post(b, reg, registerform("demo", "secret2", "secret2", mail)), QStringLiteral("2"));
    // Refused input is a plain failure.
    EXPECT_EQ(post(b, reg, registerform("bob_1", "secret1", "secret1", mail)), QStringLiteral("0"));
    EXPECT_EQ(post(b, reg, registerform("bob1", "short", "short", mail)), QStringLiteral("0"));
    EXPECT_EQ(post(b, reg, registerform("bob1", "secret1", "secret2", mail)), QStringLiteral("0"));
    EXPECT_EQ(post(b, reg, registerform("bob1", "secret1", "secret1", {})), QStringLiteral("0"));
    // The new account signs in.
    EXPECT_EQ(post(b, path(paths::kUserCheck),
                   {{QStringLiteral("UserID"), QStringLiteral("alice1")},
                    {QStringLiteral("Upassword"), QStringLiteral("secret1")}})
                  .left(5),
              QStringLiteral("到期时间："));

    QJsonObject closed = BackendFixture::demoData();
    closed[QStringLiteral("registration")] = false;
    BackendFixture off({closed, {}});
    START(off);
    EXPECT_EQ(post(off, reg, registerform("carol1", "secret1", "secret1", mail)),
              QStringLiteral("1"));
}

TEST(BackendAccounts, PasswordChange) {
    BackendFixture b;
    START(b);
    const QString save = path(paths::kPassSave);
    const auto form = [](const QString& user, const QString& old, const QString& n1,
                         const QString& n2) {
        return FormFields{{QStringLiteral("UserID"), user},
                          {QStringLiteral("Upassword"), old},
                          {QStringLiteral("Upassword1"), n1},
                          {QStringLiteral("Upassword2"), n2}};
    };
    const auto login = [&](const QString& pass) {
        return post(b, path(paths::kUserCheck),
                    {{QStringLiteral("UserID"), QStringLiteral("demo")},
                     {QStringLiteral("Upassword"), pass}});
    };
    EXPECT_EQ(post(b, save, form("demo", "wrong", "newpass1", "newpass1")), QStringLiteral("1"));
    EXPECT_EQ(post(b, save, form("nobody", "demo123", "newpass1", "newpass1")),
              QStringLiteral("1"));
    EXPECT_EQ(post(b, save, form("demo", "demo123", "newpass1", "newpass2")), QStringLiteral("0"));
    EXPECT_EQ(login(QStringLiteral("demo123")).left(5), QStringLiteral("到期时间："));
    EXPECT_EQ(post(b, save, form("demo", "demo123", "newpass1", "newpass1")), QStringLiteral("ok"));
    EXPECT_EQ(login(QStringLiteral("demo123")), QStringLiteral("error"));
    EXPECT_EQ(login(QStringLiteral("newpass1")).left(5), QStringLiteral("到期时间："));
    // The line list now wants the viewstr of the new password.
    QtHttp http;
    Session s;
    signin(s, b, QStringLiteral("demo"), QStringLiteral("newpass1"));
    EXPECT_FALSE(gethtml(http, vpnlisturl(s, s.username)).isEmpty());
}

// ---- Pages and the code page --------------------------------------------------------

TEST(BackendWire, PagesAndRepliesAreGbk) {
    BackendFixture b;
    START(b);
    QtHttp raw("ISO-8859-1");  // bytes as they arrived
    QStringEncoder gbk("GBK");
    const auto bytes = [&](const QString& p) {
        const HttpReply r = raw.get(b.url(p), 5000, {});
        EXPECT_TRUE(r.ok) << p.toStdString();
        return r.body.toLatin1();
    };
    Session s;
    signin(s, b, QStringLiteral("demo"), QStringLiteral("demo123"));
    const QByteArray list = bytes(vpnlisturl(s, s.username).mid(b.url({}).size()));
    EXPECT_TRUE(list.startsWith(QByteArray(gbk.encode(QStringLiteral("[华东]\r\n")))));
    EXPECT_TRUE(bytes(path(paths::kRouteList, 3))
                    .startsWith(QByteArray(gbk.encode(QStringLiteral("[全局加速]")))));
    for (const char* page :
         {paths::kMainTop, paths::kNews, paths::kLoginTop, paths::kRegisterPage}) {
        const QByteArray html = bytes(QString::fromLatin1(page));
        EXPECT_TRUE(html.contains("charset=gbk")) << page;
        QStringDecoder strict("GBK", QStringDecoder::Flag::Stateless);
        strict.decode(html);
        EXPECT_FALSE(strict.hasError()) << page;
    }
    EXPECT_TRUE(get(b, QStringLiteral("/kivclient11/none.htm")).isEmpty());
}

// ---- Fault switches -----------------------------------------------------------------

TEST(BackendFaults, EachSwitchReachesTheClientAsItsFailurePath) {
    BackendFixture b;
    START(b);
    const QString routes = path(paths::kRouteList);
    struct Case {
        QString spec, reply;
    } cases[] = {
        {QStringLiteral("empty"), QString()},
        {QStringLiteral("close"), QString()},
        {QStringLiteral("status:500"), QString()},
        {QStringLiteral("bytes:hello"), QStringLiteral("hello")},
        {QStringLiteral("hex:bbaab6ab"), QStringLiteral("华东")},
        {QStringLiteral("stall:200"), get(b, routes)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(b.setFault(routes, c.spec)) << c.spec.toStdString();
        EXPECT_EQ(get(b, routes), c.reply) << c.spec.toStdString();
    }
    ASSERT_TRUE(b.clearFaults());
    EXPECT_FALSE(get(b, routes).isEmpty());
    EXPECT_FALSE(b.setFault(routes, QStringLiteral("sometimes")));
}

TEST(BackendFaults, StallPastTheReadTimeoutGivesAnEmptyReplyNotAHang) {
    BackendFixture b;
    START(b);
    Session s;
    signin(s, b, QStringLiteral("demo"), QStringLiteral("demo123"));
    ASSERT_TRUE(b.setFault(langpath(paths::kVpnList, 0), QStringLiteral("stall:60000")));
    QtHttp http;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(gethtml(http, vpnlisturl(s, s.username), 300), QString());
    // Far below the stall: the client gave up at its own time-out.
    EXPECT_LT(t.elapsed(), 30000);
    // A POST endpoint the same way.
    ASSERT_TRUE(b.setFault(path(paths::kStatusCheck), QStringLiteral("stall:60000")));
    const HttpReply r =
        http.post(b.url(path(paths::kStatusCheck)), statusform("demo", "A"), 300, {});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_LT(t.elapsed(), 30000);
}
