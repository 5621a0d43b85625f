// Filling and sorting the line list of one large area, on the UI thread as the client does.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTreeView>
#include <random>

#include "core/session.h"
#include "lines/linelist.h"
#include "lines/linemodel.h"
#include "lines/linetestdata.h"
#include "lines/lineview.h"
#include "platform/sim/simplatform.h"
#include "ui/mainwindow.h"

using namespace zenrun;
using zenrun::testing::encodeaddr;

namespace {

QString arealist(int lines) {
    QString text = QStringLiteral("[大区]\n");
    for (int i = 0; i < lines; ++i)
        text +=
            QStringLiteral("线路%1=%2,%3%,%4,%5\n")
                .arg(i)
                .arg(encodeaddr(
                    QStringLiteral("10.%1.%2.%3").arg(i / 65536).arg(i / 256 % 256).arg(i % 256)))
                .arg(50 + i % 50)
                .arg(i % 2)
                .arg(1 + i % 7);
    return text;
}

struct Client {
    SimPlatform sim;
    Session session;
    Tfrmmain form{sim.clock};
    LineView* view = new LineView(session, sim.platform, form);
    LineList list{session, sim.platform, form, *view};

    explicit Client(int lines) {
        session.lineini = IniDocument::parse(arealist(lines));
        form.show();
    }
    void delays(unsigned seed) {
        std::mt19937 rng(seed);
        std::uniform_int_distribution<int> ms(0, 600);
        for (const LineNode& n : view->lines()) {
            const int v = ms(rng);
            n->delay = v > 580   ? QStringLiteral("禁ping")
                       : v > 560 ? QStringLiteral("NA")
                                 : QString::number(v);
        }
    }
};

void BM_FillArea(benchmark::State& state) {
    Client c(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        c.list.filllines(QStringLiteral("大区"), {});
        benchmark::DoNotOptimize(c.view->lines().size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FillArea)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

// An area change as the user makes it: the list, the line selector, the filter box.
void BM_AreaChange(benchmark::State& state) {
    Client c(static_cast<int>(state.range(0)));
    c.list.loadareas();
    for (auto _ : state) c.list.AreaTxt2Change();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_AreaChange)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_SortByDelay(benchmark::State& state) {
    Client c(static_cast<int>(state.range(0)));
    c.list.filllines(QStringLiteral("大区"), {});
    c.delays(7);
    bool ascending = true;
    for (auto _ : state) {
        c.view->model().sortBy(1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        ascending = !ascending;
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SortByDelay)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_SortByName(benchmark::State& state) {
    Client c(static_cast<int>(state.range(0)));
    c.list.filllines(QStringLiteral("大区"), {});
    bool ascending = true;
    for (auto _ : state) {
        c.view->model().sortBy(0, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        ascending = !ascending;
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SortByName)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

// Fill, sort by delay and paint the visible rows: what the user waits for.
void BM_FillSortPaint(benchmark::State& state) {
    Client c(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        c.list.filllines(QStringLiteral("大区"), {});
        c.delays(11);
        c.view->sort();
        benchmark::DoNotOptimize(c.form.vt1->viewport()->grab());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FillSortPaint)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

// Reading the downloaded list (login and refresh).
void BM_ParseLineList(benchmark::State& state) {
    const QString text = arealist(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(IniDocument::parse(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseLineList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
