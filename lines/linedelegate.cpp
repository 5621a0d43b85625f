#include "lines/linedelegate.h"

#include <QAbstractItemView>
#include <QPainter>

#include "lines/linemodel.h"
#include "lines/lineorder.h"

namespace zenrun {

namespace {
constexpr int kWiden = 4;  // the fill reaches past the cell so a row reads as one band
constexpr int kTextMargin = 4;

QColor blended(const QColor& over, const QColor& base, int alpha) {
    auto mix = [alpha](int a, int b) { return (a * alpha + b * (255 - alpha)) / 255; };
    return {mix(over.red(), base.red()), mix(over.green(), base.green()),
            mix(over.blue(), base.blue())};
}
}  // namespace

LineDelegate::LineDelegate(const LineModel& model, const QAbstractItemView& view, QObject* parent)
    : QStyledItemDelegate(parent), model_(model), view_(view) {}

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const LineNode line = model_.node(index.row());
    if (!line) return;
    painter->save();
    const QRect area = option.rect.adjusted(-kWiden, 0, kWiden, 0);
    const QColor base = option.palette.color(QPalette::Base);
    painter->fillRect(area, (option.state & QStyle::State_Selected)
                                ? blended(kSelectionColor, base, kSelectionBlend)
                                : base);

    QFont font = option.font;
    QColor text = option.palette.color(QPalette::Text);
    const QModelIndex focus = view_.currentIndex();
    if (focus.isValid() && model_.node(focus.row()) == line) {
        painter->fillRect(area, kFocusFill);
        font.setBold(true);
        text = kFocusText;
    }
    if (const std::optional<QColor> band = delaycolor(line->delay)) painter->fillRect(area, *band);

    painter->setPen(option.palette.color(QPalette::Mid));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());

    painter->setFont(font);
    painter->setPen(text);
    const QRect textRect = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QString shown = QFontMetrics(font).elidedText(celltext(*line, index.column()),
                                                        Qt::ElideRight, textRect.width());
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, shown);
    painter->restore();
}

QSize LineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const LineNode line = model_.node(index.row());
    QFont font = option.font;
    font.setBold(true);  // the focused row is bold: auto-size for it
    const int width =
        line ? QFontMetrics(font).horizontalAdvance(celltext(*line, index.column())) : 0;
    return {width + 2 * kTextMargin, kRowHeight};
}

}  // namespace zenrun
