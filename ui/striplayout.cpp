#include "ui/striplayout.h"

#include <QWidget>
#include <algorithm>
#include <numeric>

namespace zenrun {

StripLayout::StripLayout(QWidget* parent) : QLayout(parent) {}

StripLayout::~StripLayout() {
    for (const Entry& e : entries_) delete e.item;
}

void StripLayout::addWidget(QWidget* widget, int weight) {
    addChildWidget(widget);
    entries_.push_back({new QWidgetItem(widget), std::max(1, weight)});
    invalidate();
}

void StripLayout::addItem(QLayoutItem* item) {
    entries_.push_back({item, 1});
    invalidate();
}

QLayoutItem* StripLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? entries_[static_cast<std::size_t>(index)].item : nullptr;
}

QLayoutItem* StripLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = entries_[static_cast<std::size_t>(index)].item;
    entries_.erase(entries_.begin() + index);
    invalidate();
    return item;
}

int StripLayout::count() const {
    return static_cast<int>(entries_.size());
}

namespace {
// What the item's text needs. A widget that ignores its size hint towards the layout (so it
// never widens the strip) still says in it how wide its text is.
int need(QLayoutItem* item) {
    if (const QWidget* w = item->widget()) return w->sizeHint().width();
    return item->sizeHint().width();
}
}  // namespace

std::vector<StripLayout::Entry> StripLayout::visible() const {
    std::vector<Entry> out;
    std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(out),
                 [](const Entry& e) { return !e.item->isEmpty(); });
    return out;
}

QSize StripLayout::sizeHint() const {
    const std::vector<Entry> shown = visible();
    int width = 0;
    int height = 0;
    for (const Entry& e : shown) {
        width += need(e.item);
        height = std::max(height, e.item->sizeHint().height());
    }
    width += spacing() * std::max(0, static_cast<int>(shown.size()) - 1);
    const QMargins m = contentsMargins();
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

QSize StripLayout::minimumSize() const {
    const QMargins m = contentsMargins();
    const int gaps = spacing() * std::max(0, static_cast<int>(visible().size()) - 1);
    return {gaps + m.left() + m.right(), m.top() + m.bottom()};
}

std::vector<int> StripLayout::share(int width, const std::vector<int>& needs,
                                    const std::vector<int>& weights) {
    const std::size_t n = needs.size();
    std::vector<int> out(n, 0);
    std::vector<bool> settled(n, false);
    long long left = std::max(0, width);
    // Settle every item that needs no more than its share; their surplus raises the shares
    // of the others, so repeat until nothing more settles.
    for (bool again = true; again;) {
        again = false;
        long long weight = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (!settled[i]) weight += weights[i];
        if (weight == 0) break;
        long long freed = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (settled[i] || static_cast<long long>(needs[i]) * weight > left * weights[i])
                continue;
            out[i] = std::max(0, needs[i]);
            settled[i] = true;
            freed += out[i];
            again = true;
        }
        left -= freed;
    }
    // What is left goes by weight to the unsettled items, or to all when everything fits.
    const bool allSettled = std::all_of(settled.begin(), settled.end(), [](bool s) { return s; });
    long long weight = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (allSettled || !settled[i]) weight += weights[i];
    if (weight == 0) return out;
    long long given = 0;
    long long weightSoFar = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!allSettled && settled[i]) continue;
        // Cumulative rounding: the parts add up to exactly what was left.
        weightSoFar += weights[i];
        const long long upto = left * weightSoFar / weight;
        out[i] += static_cast<int>(upto - given);
        given = upto;
    }
    return out;
}

void StripLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const std::vector<Entry> shown = visible();
    if (shown.empty()) return;
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gaps = spacing() * (static_cast<int>(shown.size()) - 1);
    std::vector<int> needs;
    std::vector<int> weights;
    for (const Entry& e : shown) {
        needs.push_back(need(e.item));
        weights.push_back(e.weight);
    }
    const std::vector<int> widths = share(area.width() - gaps, needs, weights);
    int x = area.left();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        shown[i].item->setGeometry(QRect(x, area.top(), widths[i], area.height()));
        x += widths[i] + spacing();
    }
}

}  // namespace zenrun
