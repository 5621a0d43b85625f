#include "ui/striplayout.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <numeric>

#include "platform/sim/simclock.h"
#include "ui/mainwindow.h"

using namespace zenrun;

namespace {

struct ShareCase {
    const char* what;
    int width;
    std::vector<int> needs;
    std::vector<int> weights;
    std::vector<int> expected;
};

// The status strip's weights: status, data, account, local IP, line, connection mode.
const std::vector<int> kWeights = {3, 3, 8, 5, 5, 4};

const ShareCase kShares[] = {
    {"everything fits: each gets its need and the rest by weight",
     280,
     {40, 0, 100, 60, 40, 12},
     kWeights,
     {40 + 3, 0 + 3, 100 + 8, 60 + 5, 40 + 5, 12 + 4}},
    {"a long account text takes only what its neighbours leave",
     640,
     {40, 0, 2000, 135, 125, 85},
     kWeights,
     {40, 0, 255, 135, 125, 85}},
    {"two long texts share the rest by weight",
     300,
     {30, 0, 900, 900, 20, 10},
     kWeights,
     {30, 0, 240 * 8 / 13, 240 - 240 * 8 / 13, 20, 10}},
    {"nothing fits: plain weights",
     56,
     {100, 100, 100, 100, 100, 100},
     kWeights,
     {6, 6, 16, 10, 10, 8}},
    {"no room at all", 0, {10, 20}, {1, 1}, {0, 0}},
};

TEST(StripLayout, SharesTheWidthByWeightAndHandsOnWhatAShortTextLeaves) {
    for (const ShareCase& c : kShares) {
        const std::vector<int> got = StripLayout::share(c.width, c.needs, c.weights);
        EXPECT_EQ(got, c.expected) << c.what;
        EXPECT_EQ(std::accumulate(got.begin(), got.end(), 0), c.width) << c.what;
    }
}

TEST(StripLayout, ALabelKeepsAtLeastItsWeightedShareAgainstALongNeighbour) {
    const int width = 640;
    const int weightSum = std::accumulate(kWeights.begin(), kWeights.end(), 0);
    for (std::size_t longOne = 0; longOne < kWeights.size(); ++longOne) {
        std::vector<int> needs(kWeights.size(), 150);
        needs[longOne] = 100000;
        const std::vector<int> got = StripLayout::share(width, needs, kWeights);
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_GE(got[i], std::min(needs[i], width * kWeights[i] / weightSum))
                << "label " << i << " against a long label " << longOne;
    }
}

// What a demo login leaves in the strip fits its 690 pixels whole: no label is cut.
TEST(StripLayout, TheDemoAccountTextIsReadableInTheStatusStrip) {
    SimClock clock;
    Tfrmmain form(clock);
    form.show();
    form.statuslabel->setText(QStringLiteral("未连接"));
    form.userlabel->setText(QStringLiteral("用户名：demo  到期时间：2027-12-31"));
    form.localiplabel->setText(QStringLiteral("本地IP为：127.0.0.1"));
    form.linelabel->setText(QStringLiteral("当前节点：上海电信1"));
    QApplication::processEvents();
    const ElideLabel* labels[] = {form.statuslabel,  form.datalabel, form.userlabel,
                                  form.localiplabel, form.linelabel, form.protocollabel};
    int needed = 8 * 5 + 8;  // gaps and margins of the strip
    for (const ElideLabel* l : labels) needed += l->sizeHint().width();
    if (needed > form.Panel1->contentsRect().width())
        GTEST_SKIP() << "this system's face is too wide for the demo texts to fit (" << needed
                     << " px)";
    for (const ElideLabel* l : labels)
        EXPECT_FALSE(l->isElided())
            << l->objectName().toStdString() << " shows " << l->shownText().toStdString();
}

}  // namespace
