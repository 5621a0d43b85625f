#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace zenrun {

class LineModel;

// Paints a line-list cell: the focused row's fill and bold blue text, then the delay band
// across the whole row, a horizontal grid line, no focus rectangle.
class LineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    LineDelegate(const LineModel& model, const QAbstractItemView& view, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static constexpr int kRowHeight = 20;

private:
    const LineModel& model_;
    const QAbstractItemView& view_;
};

}  // namespace zenrun
