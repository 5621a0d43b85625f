// Adding and then deleting 2000 routes inside a private network namespace: the client's
// route logic (netlink, journal included) side by side with "ip -batch" doing the same.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "core/session.h"
#include "netcfg/routes.h"
#include "netcfg/testnetns.h"  // tests/netcfg

namespace {

using zenrun::testing::TestNetns;

TestNetns* ns = nullptr;
std::unique_ptr<zenrun::NetlinkIpHelper> ip;
QTemporaryDir* dir = nullptr;

QString network(int i) {
    return QStringLiteral("10.%1.%2.0").arg(100 + i / 250).arg(i % 250);
}

void BM_RoutesAddDelete2000(benchmark::State& state) {
    zenrun::Session session;
    QString list = QStringLiteral("[mode]\n");
    for (int i = 0; i < zenrun::kRouterCount; ++i)
        list += QStringLiteral("r%1=%2|255.255.255.0\n").arg(i).arg(network(i));
    session.routeini = zenrun::IniDocument::parse(list);
    zenrun::Routes routes(session, *ip, {}, dir->path() + QStringLiteral("/routes.journal"));
    routes.loadroutes(QStringLiteral("mode"));
    for (auto _ : state) {
        routes.addroutes();
        if (routes.addedroutes().size() != static_cast<std::size_t>(zenrun::kRouterCount))
            state.SkipWithError("not every route went in");
        routes.delroutes();
        if (!routes.addedroutes().empty()) state.SkipWithError("not every route came out");
    }
}

void BM_IpBatchAddDelete2000(benchmark::State& state) {
    const QString add = dir->path() + QStringLiteral("/add.batch");
    const QString del = dir->path() + QStringLiteral("/del.batch");
    QFile a(add), d(del);
    if (!a.open(QIODevice::WriteOnly) || !d.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the batch files");
        return;
    }
    for (int i = 0; i < zenrun::kRouterCount; ++i) {
        const QByteArray route = (QStringLiteral("%1/24 via %2 dev zr0 metric 100 proto 231\n")
                                      .arg(network(i), TestNetns::kGateway))
                                     .toLatin1();
        a.write("route add " + route);
        d.write("route del " + route);
    }
    a.close();
    d.close();
    const std::string run = "ip -n " + ns->name().toStdString() + " -batch ";
    for (auto _ : state) {
        if (std::system((run + add.toStdString()).c_str()) != 0 ||
            std::system((run + del.toStdString()).c_str()) != 0)
            state.SkipWithError("ip -batch failed");
    }
}

BENCHMARK(BM_RoutesAddDelete2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IpBatchAddDelete2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints the two timings' ratio after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (!r.error_occurred) times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TestNetns netns;
    if (!netns.unusable().isEmpty()) {
        std::printf("routes benchmark skipped: %s\n", qPrintable(netns.unusable()));
        return 0;
    }
    ns = &netns;
    ip = netns.openIpHelper();
    QTemporaryDir tmp;
    dir = &tmp;
    if (!ip) {
        std::printf("routes benchmark skipped: cannot open netlink in the namespace\n");
        return 0;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = reporter.times["BM_RoutesAddDelete2000/real_time"];
    const double theirs = reporter.times["BM_IpBatchAddDelete2000/real_time"];
    if (ours > 0 && theirs > 0)
        std::printf("routes: client %.1f ms, ip -batch %.1f ms, ratio client/ip-batch %.2f\n", ours,
                    theirs, ours / theirs);
    ip.reset();
    benchmark::Shutdown();
    return 0;
}
