#include "server/datafile.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

namespace zenrun::server {

using nlohmann::json;

QString Texts::pick(Lang lang) const {
    if (lang == Lang::En && !en.isEmpty()) return en;
    if (lang == Lang::Tw && !tw.isEmpty()) return tw;
    return zh;
}

int Data::limitfor(const QString& user) const {
    const auto it = computerlimits.find(user);
    return it != computerlimits.end() ? it->second : computerlimit;
}

const Line* Data::linebyaddress(const QString& address) const {
    for (const Area& a : areas)
        for (const Line& l : a.lines)
            if (l.address == address) return &l;
    return nullptr;
}

namespace {

QString str(const json& j, const char* key, const QString& fallback = {}) {
    if (!j.contains(key) || j[key].is_null()) return fallback;
    const json& v = j[key];
    if (v.is_string()) return QString::fromStdString(v.get<std::string>());
    if (v.is_number_integer()) return QString::number(v.get<long long>());
    throw std::runtime_error(std::string("\"") + key + "\" must be a string");
}

Texts texts(const json& j, const char* key) {
    Texts t;
    t.zh = str(j, key);
    t.en = str(j, (std::string(key) + "_en").c_str());
    t.tw = str(j, (std::string(key) + "_tw").c_str());
    if (t.zh.isEmpty()) throw std::runtime_error(std::string("missing \"") + key + "\"");
    return t;
}

IpCheckMode ipcheckmode(const QString& s) {
    if (s.isEmpty() || s == QLatin1String("accept")) return IpCheckMode::Accept;
    if (s == QLatin1String("issue")) return IpCheckMode::Issue;
    if (s == QLatin1String("account")) return IpCheckMode::Account;
    if (s == QLatin1String("refuse")) return IpCheckMode::Refuse;
    if (s == QLatin1String("empty")) return IpCheckMode::Empty;
    throw std::runtime_error("unknown ipcheck mode \"" + s.toStdString() + "\"");
}

// "a.b.c.d/n" or "a.b.c.d|m.m.m.m" -> (destination, mask).
std::pair<QString, QString> network(const QString& s) {
    const qsizetype bar = s.indexOf(QLatin1Char('|'));
    if (bar > 0) return {s.left(bar).trimmed(), s.mid(bar + 1).trimmed()};
    const qsizetype slash = s.indexOf(QLatin1Char('/'));
    bool ok = false;
    const int bits = slash > 0 ? s.mid(slash + 1).toInt(&ok) : 32;
    if ((slash > 0 && !ok) || bits < 0 || bits > 32)
        throw std::runtime_error("bad network \"" + s.toStdString() + "\"");
    const quint32 m = bits == 0 ? 0 : ~quint32(0) << (32 - bits);
    const QString mask = QStringLiteral("%1.%2.%3.%4")
                             .arg(m >> 24)
                             .arg((m >> 16) & 0xFF)
                             .arg((m >> 8) & 0xFF)
                             .arg(m & 0xFF);
    return {slash > 0 ? s.left(slash) : s, mask};
}

void forbid(const QString& text, const QString& chars, const char* what) {
    for (const QChar c : chars)
        if (text.contains(c))
            throw std::runtime_error(std::string(what) + " \"" + text.toStdString() +
                                     "\" must not contain '" + QString(c).toStdString() + "'");
}

// The replies are cut by the client at fixed characters; a value holding one would shift
// every later field, so such data is refused at start.
void validate(const Data& d) {
    for (const QString& f : {d.version, d.routehostip, d.update, d.routeenable})
        forbid(f, QStringLiteral("-\r\n"), "probe field");
    const QString names = QStringLiteral("=[]\r\n");
    const auto allnames = [&](const Texts& t, const char* what) {
        for (const QString& n : {t.zh, t.en, t.tw}) forbid(n, names, what);
        if (t.zh.startsWith(QLatin1Char(';')) || t.zh.startsWith(QLatin1Char('#')))
            throw std::runtime_error(std::string(what) + " must not start with ';' or '#'");
    };
    for (const Area& a : d.areas) {
        allnames(a.name, "area name");
        for (const Line& l : a.lines) {
            allnames(l.name, "line name");
            for (const QString& f : {l.address, l.onlinerate, l.type})
                forbid(f, QStringLiteral(",\r\n"), "line field");
            if (l.address.isEmpty()) throw std::runtime_error("a line has no address");
        }
    }
    for (const RouteMode& m : d.routemodes) allnames(m.name, "route mode name");
}

}  // namespace

Data parsedata(const std::string& text) {
    json j;
    try {
        j = json::parse(text);
    } catch (const json::exception& e) {
        throw std::runtime_error(std::string("not valid JSON: ") + e.what());
    }
    Data d;
    try {
        const json probe = j.value("probe", json::object());
        d.version = str(probe, "version", QStringLiteral("11.0"));
        d.routehostip = str(probe, "routehostip");
        d.update = str(probe, "update");
        d.routeenable = str(probe, "routeenable");
        if (j.contains("accountinfo")) d.accountinfo = texts(j, "accountinfo");
        d.computerlimit = j.value("computerlimit", 1);
        const json limits = j.value("computerlimits", json::object());
        for (const auto& [user, n] : limits.items())
            d.computerlimits[QString::fromStdString(user)] = n.get<int>();
        d.sessionttl = j.value("sessionttl", 660);
        d.registration = j.value("registration", true);
        d.trialdays = j.value("trialdays", 7);
        d.dialprefix = str(j, "dialprefix", QStringLiteral("zr"));
        for (const json& a : j.value("accounts", json::array()))
            d.accounts.push_back({str(a, "user"), str(a, "password"), str(a, "expires")});
        for (const json& a : j.value("areas", json::array())) {
            Area area{texts(a, "name"), {}};
            for (const json& l : a.value("lines", json::array())) {
                Line line;
                line.name = texts(l, "name");
                line.address = str(l, "address");
                line.onlinerate = str(l, "onlinerate");
                line.l2tp = l.value("l2tp", 0);
                line.type = str(l, "type", QStringLiteral("1"));
                line.ipcheck = ipcheckmode(str(l, "ipcheck"));
                area.lines.push_back(line);
            }
            d.areas.push_back(area);
        }
        for (const json& r : j.value("routemodes", json::array())) {
            RouteMode mode{texts(r, "name"), {}};
            for (const json& n : r.value("networks", json::array()))
                mode.networks.push_back(network(QString::fromStdString(n.get<std::string>())));
            d.routemodes.push_back(mode);
        }
        const json pages = j.value("pages", json::object());
        for (const auto& [path, html] : pages.items())
            d.pages[path] = QString::fromStdString(html.get<std::string>());
    } catch (const json::exception& e) {
        throw std::runtime_error(std::string("bad data file: ") + e.what());
    }
    validate(d);
    return d;
}

Data loaddata(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream all;
    all << in.rdbuf();
    return parsedata(all.str());
}

}  // namespace zenrun::server
