#pragma once

#include <QString>
#include <vector>

#include "platform/iphelper.h"

namespace zenrun {

// The routes the client has installed and not yet removed, kept in a small file so that a
// crash or a kill does not leave them in the system table unnoticed. One route per line:
// "destination mask next-hop interface type protocol metric".
class RouteJournal {
public:
    explicit RouteJournal(QString path) : path_(std::move(path)) {}

    // The routes of the journal; also removes what a write killed before its rename left.
    std::vector<Ipv4Route> read() const;
    // Replaces the journal atomically; an empty list removes the file. False when it could
    // not be written.
    bool write(const std::vector<Ipv4Route>& routes) const;
    const QString& path() const { return path_; }

    // The file's text and its reader: a line that is not a whole, valid route is skipped.
    static std::vector<Ipv4Route> parse(const QByteArray& text);
    static QByteArray serialize(const std::vector<Ipv4Route>& routes);

private:
    QString path_;
};

}  // namespace zenrun
