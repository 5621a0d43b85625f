// The batch speed test over 1000 lines whose addresses answer inside a private network
// namespace (the TUN responder of the tests; root): what one probe costs the client in CPU
// time, and how evenly the requests are spaced on the wire. One full pass takes 50 s.
//   bench_sweep [LINES]     (default 1000; every tenth line is silent, the rest answer in 20 ms)
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>

#include "core/session.h"
#include "lines/icmpnetns.h"  // tests/lines
#include "lines/linemodel.h"
#include "lines/lineview.h"
#include "lines/speedtest.h"
#include "platform/icmp.h"
#include "platform/sim/simplatform.h"
#include "ui/mainwindow.h"

using namespace zenrun;

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(std::min<double>(v.size() - 1, p * (v.size() - 1)))];
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    std::map<QString, int> delays;
    std::vector<QString> addresses;
    for (int i = 0; i < lines; ++i) {
        const QString a = QStringLiteral("10.200.%1.%2").arg(i / 250).arg(i % 250 + 1);
        addresses.push_back(a);
        delays[a] = i % 10 == 9 ? -1 : 20;
    }
    // Accuracy: these answer after fixed delays, asked one at a time.
    const int injected[] = {5, 50, 120, 480};
    for (int ms : injected) delays[QStringLiteral("10.200.200.%1").arg(ms % 250)] = ms;
    testing::IcmpNetns ns(delays);
    if (!ns.unusable().isEmpty()) {
        std::printf("bench_sweep: skipped: %s\n", qPrintable(ns.unusable()));
        return 0;
    }
    SimPlatform sim;
    sim.platform.icmp = ns.openIcmp();
    if (!sim.platform.icmp) {
        std::printf("bench_sweep: cannot open an ICMP socket in the namespace\n");
        return 1;
    }
    // Shown delay (rtt x 9 div 10) against 0.9 x the injected delay, 20 requests each.
    for (int ms : injected) {
        std::vector<double> rtts;
        int within1 = 0, worst = 0;
        for (int i = 0; i < 20; ++i) {
            const EchoReply r = sim.platform.icmp->echo(
                QStringLiteral("10.200.200.%1").arg(ms % 250), SpeedTest::kPayload, SpeedTest::kTtl,
                SpeedTest::kTimeoutMs);
            if (r.status != EchoReply::Answered) continue;
            rtts.push_back(r.rttMs);
            const int off = r.rttMs * 9 / 10 - ms * 9 / 10;
            within1 += std::abs(off) <= 1;
            worst = std::max(worst, std::abs(off));
        }
        std::printf(
            "bench_sweep: %3d ms injected: %zu answers, rtt %g..%g ms, shown delay within "
            "1 ms of %d in %d, worst off by %d\n",
            ms, rtts.size(), rtts.empty() ? 0.0 : percentile(rtts, 0),
            rtts.empty() ? 0.0 : percentile(rtts, 1), ms * 9 / 10, within1, worst);
    }

    Session session;
    Tfrmmain form(*sim.platform.clock);
    LineView view(session, sim.platform, form);
    form.IPAddrTxt->addItem(QStringLiteral("line"));
    std::vector<LineNode> nodes;
    for (int i = 0; i < lines; ++i) {
        auto n = std::make_shared<ps>();
        n->name = QStringLiteral("line%1").arg(i);
        n->ip = addresses[static_cast<std::size_t>(i)];
        n->delay = QStringLiteral("NA");
        nodes.push_back(n);
    }
    view.setLines(nodes);

    // What the idle client costs, to tell it apart from the probes.
    const double idle0 = cpuSeconds();
    {
        QEventLoop loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double idlePerSecond = (cpuSeconds() - idle0) / 5;

    double cpu = 0;
    int probes = 0;
    const double seconds = (lines * SpeedTest::kStepMs + 300) / 1000.0;
    {
        SpeedTest batch(session, sim.platform, form, view);
        const double cpu0 = cpuSeconds();
        batch.btn_speedClick();
        // One pass, then the time-out of its last silent probes.
        QEventLoop loop;
        QTimer::singleShot(lines * SpeedTest::kStepMs + 300, &loop, &QEventLoop::quit);
        loop.exec();
        batch.stop();
        cpu = cpuSeconds() - cpu0;
        for (const auto& a : ns.arrivals())
            probes += !a.address.startsWith(QLatin1String("10.200.200."));
    }

    QList<testing::IcmpNetns::Arrival> arrivals;
    for (const auto& a : ns.arrivals())
        if (!a.address.startsWith(QLatin1String("10.200.200."))) arrivals.append(a);
    std::vector<double> gaps;
    for (qsizetype i = 1; i < arrivals.size(); ++i)
        gaps.push_back(static_cast<double>(arrivals[i].ns - arrivals[i - 1].ns) / 1e6);
    const double mean = std::accumulate(gaps.begin(), gaps.end(), 0.0) / gaps.size();
    double var = 0;
    for (double g : gaps) var += (g - mean) * (g - mean);
    const double sd = std::sqrt(var / gaps.size());
    int exact = 0, answered = 0, lost = 0;
    for (const LineNode& n : nodes) {
        if (n->delay == QLatin1String("18")) ++exact;
        if (n->delay.toInt() > 0) ++answered;
        lost += n->losttimes;
    }
    std::printf(
        "bench_sweep: %d lines, %d requests on the wire, %d answered, %d shown as 18 ms "
        "(20 ms x 0.9), %d losses\n",
        lines, probes, answered, exact, lost);
    std::printf(
        "  CPU time of the client: %.3f s in %.1f s (idle: %.4f s per s), %.1f us per probe"
        " (idle share removed: %.1f us)\n",
        cpu, seconds, idlePerSecond, probes ? cpu * 1e6 / probes : 0.0,
        probes ? (cpu - idlePerSecond * seconds) * 1e6 / probes : 0.0);
    std::printf(
        "  request spacing (ms): mean %.2f  sd %.2f  min %.2f  p1 %.2f  p50 %.2f  p99 %.2f"
        "  max %.2f\n",
        mean, sd, percentile(gaps, 0), percentile(gaps, 0.01), percentile(gaps, 0.5),
        percentile(gaps, 0.99), percentile(gaps, 1));
    return 0;
}
