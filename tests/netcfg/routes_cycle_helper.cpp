// The client's route work as connects and disconnects do it, in the namespace it is started
// in, for the kill -9 trials (scripts/killtest):
//   routes_cycle_helper <journal> cycle   start as the client does (clear what a killed run
//                                         left), then connect and disconnect without end:
//                                         add the routes of a 500-network mode, remove them
//   routes_cycle_helper <journal> start   only the start-up clearing, then exit
// Prints "cycling" once the first routes are in.
#include <cstdio>
#include <cstring>

#include "core/session.h"
#include "netcfg/routes.h"
#include "platform/linux/netlinkiphelper.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    zenrun::NetlinkIpHelper ip;
    if (!ip.isOpen()) return 3;
    zenrun::Session session;
    QString list = QStringLiteral("[mode]\n");
    for (int i = 0; i < 500; ++i)
        list +=
            QStringLiteral("r%1=198.%2.%3.0|255.255.255.0\n").arg(i).arg(18 + i / 256).arg(i % 256);
    session.routeini = zenrun::IniDocument::parse(list);
    zenrun::Routes routes(session, ip, {}, QString::fromLocal8Bit(argv[1]));
    routes.clearleftoverroutes();
    if (std::strcmp(argv[2], "start") == 0) return 0;
    if (std::strcmp(argv[2], "cycle") != 0) return 2;
    routes.loadroutes(QStringLiteral("mode"));
    for (bool first = true;; first = false) {
        // What a connect does before the dial (the mode selector is not needed for that).
        routes.addroutes();
        if (first) {
            if (routes.addedroutes().size() != 500) return 4;
            std::puts("cycling");
            std::fflush(stdout);
        }
        routes.delroutes();
    }
}
