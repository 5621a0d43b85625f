#include "netcfg/routejournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "netcfg/routetable.h"

namespace zenrun {

std::vector<Ipv4Route> RouteJournal::read() const {
    std::vector<Ipv4Route> routes;
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return routes;
    while (!f.atEnd()) {
        const QStringList p =
            QString::fromLatin1(f.readLine()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
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

bool RouteJournal::write(const std::vector<Ipv4Route>& routes) const {
    if (routes.empty()) return !QFile::exists(path_) || QFile::remove(path_);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    QByteArray text;
    for (const Ipv4Route& r : routes)
        text += QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                    .arg(dottedquad(r.destination), dottedquad(r.mask), dottedquad(r.nextHop))
                    .arg(r.ifIndex)
                    .arg(r.type)
                    .arg(r.protocol)
                    .arg(r.metric)
                    .toLatin1();
    f.write(text);
    return f.commit();
}

}  // namespace zenrun
