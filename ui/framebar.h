#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace zenrun {

// The frame bar: one title item per area. It is never on screen; its items carry the
// click that fills the line list and the title style that marks the current area.
class FrameBar {
public:
    struct Item {
        QString caption;
        std::function<void()> onClick;
        QColor titleColor = Qt::black;
        bool titleBold = false;
    };

    Item* add(const QString& caption, std::function<void()> onClick = {}) {
        items_.push_back(std::make_unique<Item>(Item{caption, std::move(onClick)}));
        return items_.back().get();
    }
    void clear() { items_.clear(); }
    std::size_t count() const { return items_.size(); }
    Item* item(std::size_t i) const { return i < items_.size() ? items_[i].get() : nullptr; }
    Item* find(const QString& caption) const {
        for (const auto& it : items_)
            if (it->caption == caption) return it.get();
        return nullptr;
    }
    bool contains(const Item* it) const {
        for (const auto& own : items_)
            if (own.get() == it) return true;
        return false;
    }
    // Runs the item's click; false when the item is not (or no longer) on the bar.
    bool activate(Item* it) {
        if (!it || !contains(it)) return false;
        if (it->onClick) it->onClick();
        return true;
    }

private:
    std::vector<std::unique_ptr<Item>> items_;
};

}  // namespace zenrun
