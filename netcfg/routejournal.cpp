#include "netcfg/routejournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "netcfg/routetable.h"
#include "platform/savetemps.h"

namespace zenrun {

std::vector<Ipv4Route> RouteJournal::read() const {
    // The journal is read at start, when no write of ours can be running.
    removeStaleSaveTemps(path_);
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return parse(f.readAll());
}

std::vector<Ipv4Route> RouteJournal::parse(const QByteArray& text) {
    std::vector<Ipv4Route> routes;
    qsizetype from = 0;
    while (from < text.size()) {
        // A line keeps its line break, which only the last field may carry.
        const qsizetype nl = text.indexOf('\n', from);
        const qsizetype end = nl < 0 ? text.size() : nl + 1;
        const QStringList p = QString::fromLatin1(text.mid(from, end - from))
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        from = end;
        if (p.size() != 7) continue;
        const auto dst = parsedottedquad(p[0]);
        const auto mask = parsemask(p[1]);
        const auto hop = parsedottedquad(p[2]);
        bool ok[4] = {};
        Ipv4Route r;
        r.ifIndex = p[3].toInt(&ok[0]);
        r.type = p[4].toInt(&ok[1]);
        r.protocol = p[5].trimmed().toInt(&ok[2]);
        r.metric = p[6].trimmed().toInt(&ok[3]);
        if (!dst || !mask || !hop || !ok[0] || !ok[1] || !ok[2] || !ok[3]) continue;
        r.destination = *dst;
        r.mask = *mask;
        r.nextHop = *hop;
        routes.push_back(r);
    }
    return routes;
}

QByteArray RouteJournal::serialize(const std::vector<Ipv4Route>& routes) {
    QByteArray text;
    for (const Ipv4Route& r : routes)
        text += QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                    .arg(dottedquad(r.destination), dottedquad(r.mask), dottedquad(r.nextHop))
                    .arg(r.ifIndex)
                    .arg(r.type)
                    .arg(r.protocol)
                    .arg(r.metric)
                    .toLatin1();
    return text;
}

bool RouteJournal::write(const std::vector<Ipv4Route>& routes) const {
    if (routes.empty()) return !QFile::exists(path_) || QFile::remove(path_);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    f.write(serialize(routes));
    return f.commit();
}

}  // namespace zenrun
