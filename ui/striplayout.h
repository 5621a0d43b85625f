#pragma once

#include <QLayout>
#include <vector>

namespace zenrun {

// A row of widgets sharing the width by weight, so one long text cannot push its neighbours
// off. A widget whose size hint (its text) is narrower than its share takes only what it
// needs, and the rest goes to the others by weight; when everything fits, the width left
// over is spread by weight again, so the row keeps its places.
class StripLayout : public QLayout {
public:
    explicit StripLayout(QWidget* parent = nullptr);
    ~StripLayout() override;

    void addWidget(QWidget* widget, int weight);

    // Widths for items needing `needs` with `weights` in `width` pixels.
    static std::vector<int> share(int width, const std::vector<int>& needs,
                                  const std::vector<int>& weights);

    void addItem(QLayoutItem* item) override;  // weight 1
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        int weight;
    };
    std::vector<Entry> visible() const;
    std::vector<Entry> entries_;
};

}  // namespace zenrun
