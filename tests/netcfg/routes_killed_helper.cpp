// Adds the global-mode host route through the journalling route logic and is then killed
// before it can remove it, as a crash would. Run inside the test namespace:
//   ip netns exec <ns> routes_killed_helper <journal> <server address>
#include <csignal>
#include <cstdio>

#include "core/session.h"
#include "netcfg/routes.h"
#include "platform/linux/netlinkiphelper.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    zenrun::Session session;
    session.serverhostip = QString::fromLocal8Bit(argv[2]);
    zenrun::NetlinkIpHelper ip;
    if (!ip.isOpen()) return 3;
    zenrun::Routes routes(session, ip, {}, QString::fromLocal8Bit(argv[1]));
    routes.loadglobalroute(QStringLiteral("aa"));
    routes.addroutes();
    if (routes.addedroutes().size() != 1) return 4;
    std::raise(SIGKILL);
    return 5;
}
