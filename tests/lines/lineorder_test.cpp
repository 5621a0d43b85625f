#include "lines/lineorder.h"

#include <gtest/gtest.h>

#include "lines/linemodel.h"

using namespace zenrun;

namespace {

ps line(const QString& name, const QString& delay, const QString& rate = {},
        const QString& l2tp = {}) {
    ps p;
    p.name = name;
    p.delay = delay;
    p.onlinerate = rate;
    p.l2tpstatus = l2tp;
    return p;
}

const QString kNoAnswer = QStringLiteral("禁ping");

TEST(LineOrder, ComparisonNeverReportsEqualityAndAppliesTheDirection) {
    struct Case {
        int column;
        ps a, b;
        int ascending, descending;
    };
    const Case cases[] = {
        // delays: measured against measured
        {1, line("a", "90"), line("b", "200"), -1, 1},
        {1, line("a", "301"), line("b", "300"), 1, -1},
        {1, line("a", "0"), line("b", "0"), -1, 1},
        // "NA" and failure texts count as 37000000 ms
        {1, line("a", "NA"), line("b", "300"), 1, -1},
        {1, line("a", "300"), line("b", "NA"), -1, 1},
        {1, line("a", kNoAnswer), line("b", "36999999"), 1, -1},
        {1, line("a", "Unknown"), line("b", "NA"), -1, 1},
        {1, line("a", "37000001"), line("b", "NA"), 1, -1},
        // text columns by character code, case-sensitive
        {0, line("b1", "NA"), line("a9", "NA"), 1, -1},
        {0, line("B", "NA"), line("a", "NA"), -1, 1},
        {0, line("same", "NA"), line("same", "NA"), -1, 1},
        {2, line("a", "NA", "100%"), line("b", "NA", "95%"), -1, 1},
        {2, line("a", "NA", "9"), line("b", "NA", "10"), 1, -1},
        {3, line("a", "NA", "", "支持"), line("b", "NA", "", "不支持"), 1, -1},
        {3, line("a", "NA", "", "yes"), line("b", "NA", "", "-"), 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("column %1: '%2' vs '%3'")
                         .arg(c.column)
                         .arg(celltext(c.a, c.column), celltext(c.b, c.column))
                         .toStdString());
        EXPECT_EQ(comparelines(c.a, c.b, c.column, Qt::AscendingOrder), c.ascending);
        EXPECT_EQ(comparelines(c.a, c.b, c.column, Qt::DescendingOrder), c.descending);
    }
}

TEST(LineOrder, DelayColoursAtTheBandBorders) {
    const std::pair<const char*, std::optional<QColor>> cases[] = {
        {"0", QColor(0xAA, 0xFF, 0x9B)},
        {"90", QColor(0xAA, 0xFF, 0x9B)},
        {"200", QColor(0xAA, 0xFF, 0x9B)},
        {"201", QColor(0xC8, 0xFF, 0x96)},
        {"250", QColor(0xC8, 0xFF, 0x96)},
        {"251", QColor(0xE1, 0xFF, 0x8C)},
        {"300", QColor(0xE1, 0xFF, 0x8C)},
        {"301", QColor(0xF0, 0xFF, 0x8C)},
        {"37000000", QColor(0xF0, 0xFF, 0x8C)},
        {"NA", std::nullopt},
        // a line that never answered is grey, not the fastest band
        {"禁ping", QColor(0xA4, 0xA2, 0xA5)},
        {"Unknown", QColor(0xA4, 0xA2, 0xA5)},
        {"超时", QColor(0xA4, 0xA2, 0xA5)},
    };
    for (const auto& [delay, colour] : cases) {
        SCOPED_TRACE(delay);
        EXPECT_EQ(delaycolor(QString::fromUtf8(delay)), colour);
    }
}

std::vector<LineNode> nodes(std::initializer_list<std::pair<const char*, const char*>> rows) {
    std::vector<LineNode> out;
    for (const auto& [name, delay] : rows)
        out.push_back(
            std::make_shared<ps>(line(QString::fromUtf8(name), QString::fromUtf8(delay))));
    return out;
}

QStringList names(const LineModel& m) {
    QStringList out;
    for (const LineNode& n : m.lines()) out << n->name;
    return out;
}

TEST(LineOrder, SortingByDelayPutsUnmeasuredLinesLastAscendingAndFirstDescending) {
    LineModel m;
    m.setLines(nodes({{"na", "NA"},
                      {"slow", "301"},
                      {"fast", "90"},
                      {"lost", "禁ping"},
                      {"mid", "201"},
                      {"fast2", "90"}}));
    m.sortBy(1, Qt::AscendingOrder);
    // equal keys keep their order ascending
    EXPECT_EQ(names(m), QStringList({"fast", "fast2", "mid", "slow", "na", "lost"}));
    m.sortBy(1, Qt::DescendingOrder);
    const QStringList desc = names(m);
    EXPECT_EQ(QSet<QString>(desc.begin(), desc.begin() + 2), QSet<QString>({"na", "lost"}));
    EXPECT_EQ(desc.mid(2, 2), QStringList({"slow", "mid"}));
    EXPECT_EQ(QSet<QString>(desc.begin() + 4, desc.end()), QSet<QString>({"fast", "fast2"}));
}

TEST(LineOrder, SortKeepsPersistentIndexesOnTheirRecords) {
    LineModel m;
    m.setLines(nodes({{"c", "300"}, {"a", "90"}, {"b", "200"}}));
    const LineNode c = m.node(0);
    const QPersistentModelIndex held(m.index(0, 2));
    m.sortBy(0, Qt::AscendingOrder);
    EXPECT_EQ(names(m), QStringList({"a", "b", "c"}));
    EXPECT_EQ(held.row(), 2);
    EXPECT_EQ(held.column(), 2);
    EXPECT_EQ(m.rowOf(c.get()), 2);
}

}  // namespace
