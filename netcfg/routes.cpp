#include "netcfg/routes.h"

#include <QComboBox>
#include <QPushButton>
#include <algorithm>
#include <cerrno>

#include "core/session.h"
#include "core/strings.h"
#include "core/textutil.h"

namespace zenrun {

namespace {
constexpr int kUnicast = 1;  // RTN_UNICAST

// A lost or late answer leaves open whether the route went in. Keeping it costs at most a
// deletion that finds nothing; dropping it could leave a route behind.
bool mayhaveadded(int result) {
    return result == 0 || result == ETIMEDOUT || result == ENOBUFS || result == EINTR;
}

bool contains(const std::vector<Ipv4Route>& list, const Ipv4Route& r) {
    return std::any_of(list.begin(), list.end(),
                       [&](const Ipv4Route& x) { return x.sameRoute(r); });
}
}  // namespace

void fillroutetype(QComboBox& routetype, const IniDocument& routeini) {
    routetype.clear();
    routetype.addItems(routeini.sections());
    routetype.setCurrentIndex(routetype.count() > 0 ? 0 : -1);
}

void fillroutes(Tmyrouters& table, const IniDocument& routeini, const QString& section,
                const QString& gateway) {
    clearrouters(table);
    const QStringList keys = routeini.keys(section);
    // Each key keeps its position; a key past the table's end has no place and is ignored.
    const int count = std::min<int>(static_cast<int>(keys.size()), static_cast<int>(table.size()));
    for (int i = 0; i < count; ++i) {
        const QString value = routeini.value(section, keys[i]);
        if (value.isEmpty()) continue;
        const auto fields = strings(value).split10(QStringLiteral("|"));
        if (!parsedottedquad(fields[0]) || !parsemask(fields[1])) continue;
        Tmyrouter& r = table[static_cast<std::size_t>(i)];
        r.destionation = fields[0];
        r.mask = fields[1];
        r.gateway = gateway;
    }
}

Routes::Routes(Session& session, IpHelper& iphelper, Controls controls, const QString& journalPath)
    : session_(session), ip_(iphelper), controls_(controls), journal_(journalPath) {}

void Routes::wire() {
    // User choices only, not the filling of the lists by the login.
    QObject::connect(controls_.routetype, &QComboBox::activated, controls_.routetype,
                     [this](int) { routetypeChange(); });
    QObject::connect(controls_.com_game, &QComboBox::activated, controls_.com_game,
                     [this](int) { com_gameClick(); });
    QObject::connect(controls_.sButton1, &QPushButton::clicked, controls_.sButton1,
                     [this] { sButton1Click(); });
    QObject::connect(controls_.sButton2, &QPushButton::clicked, controls_.sButton2,
                     [this] { sButton2Click(); });
}

// The next hop of the lowest destination in the table: normally the default route's gateway.
QString Routes::localgateway() {
    const auto table = ip_.routeTable();
    if (!table || table->empty() || table->front().nextHop == 0) return {};
    return dottedquad(table->front().nextHop);
}

bool Routes::isglobalname(const QString& name) const {
    if (session_.langindex == 2) return name == QLatin1String("global");
    const QString chinese = QStringLiteral("全局加速");
    return name == (session_.langindex == 3 ? totraditional(chinese) : chinese);
}

void Routes::loadroutes(const QString& name) {
    if (name.isEmpty()) return;
    clearrouters(routerlist);
    if (isglobalname(name)) return;
    fillroutes(routerlist, session_.routeini, name, localgateway());
}

void Routes::loadglobalroute(const QString& /*ignored*/) {
    clearrouters(routerlist);
    const QString gateway = localgateway();
    if (!parsedottedquad(session_.serverhostip)) return;
    routerlist[0] = {session_.serverhostip, QStringLiteral("255.255.255.255"), gateway};
}

void Routes::addroutes() {
    const auto table = ip_.routeTable();
    if (!table || table->empty()) return;
    const Ipv4Route& templ = table->front();
    const Tmyrouter& first = routerlist[0];
    if (first.destionation.isEmpty()) return;
    const auto firstHop = parsedottedquad(first.gateway);
    if (!firstHop) return;
    // No interface reaches the gateway: a route would not work, so none is added.
    const auto ifIndex = ip_.interfaceFor(*firstHop);
    if (!ifIndex) return;

    std::vector<Ipv4Route> batch;
    for (const Tmyrouter& e : routerlist) {
        if (e.destionation.isEmpty()) continue;
        const auto dst = parsedottedquad(e.destionation);
        const auto mask = parsemask(e.mask);
        const auto hop = parsedottedquad(e.gateway);
        if (!dst || !mask || !hop) continue;
        Ipv4Route r;
        r.destination = *dst;
        r.mask = *mask;
        r.nextHop = *hop;
        r.ifIndex = *ifIndex;
        r.type = kUnicast;
        r.protocol = kZenrunRouteProtocol;
        r.metric = templ.metric;
        if (!contains(added_, r) && !contains(batch, r)) batch.push_back(r);
    }
    if (batch.empty()) return;

    // Journal first: a kill during the additions must not leave routes nobody knows of.
    std::vector<Ipv4Route> intent = added_;
    intent.insert(intent.end(), batch.begin(), batch.end());
    journal_.write(intent);
    const std::vector<int> results = ip_.addRoutes(batch);
    for (std::size_t i = 0; i < batch.size(); ++i)
        if (mayhaveadded(i < results.size() ? results[i] : EIO)) added_.push_back(batch[i]);
    journal_.write(added_);
}

void Routes::delroutes() {
    if (added_.empty()) return;
    const std::vector<int> results = ip_.deleteRoutes(added_);
    std::vector<Ipv4Route> remaining;
    for (std::size_t i = 0; i < added_.size(); ++i) {
        const int err = i < results.size() ? results[i] : EIO;
        // Gone already (ESRCH) counts as removed; any other failure keeps it for later.
        if (err != 0 && err != ESRCH) remaining.push_back(added_[i]);
    }
    added_ = std::move(remaining);
    journal_.write(added_);
}

void Routes::routetypeChange() {
    if (controls_.routetype->currentIndex() == 0)
        loadglobalroute(QStringLiteral("aa"));
    else
        loadroutes(controls_.routetype->currentText());
}

void Routes::com_gameClick() {
    if (controls_.com_game->currentIndex() >= 0) loadroutes(controls_.com_game->currentText());
}

void Routes::addroutesonconnect() {
    if (session_.routesadded) return;
    try {
        if (controls_.routetype->currentIndex() == 0 ||
            !controls_.routetype->currentText().isEmpty())
            addroutes();
    } catch (...) {
    }
    session_.routesadded = true;
}

void Routes::delroutesonteardown() {
    if (session_.routesadded) {
        try {
            delroutes();
        } catch (...) {
        }
    }
    session_.routesadded = false;
}

void Routes::clearleftoverroutes() {
    const std::vector<Ipv4Route> left = journal_.read();
    if (left.empty()) {
        journal_.write({});
        return;
    }
    const auto table = ip_.routeTable();
    if (!table) return;  // keep the journal for the next start
    std::vector<Ipv4Route> present;
    for (const Ipv4Route& r : left)
        if (contains(*table, r) && !contains(present, r)) present.push_back(r);
    if (!present.empty()) ip_.deleteRoutes(present);
    journal_.write({});
}

}  // namespace zenrun
