#include "ui/elidelabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>

namespace zenrun {

ElideLabel::ElideLabel(QWidget* parent) : QLabel(parent) {}

ElideLabel::ElideLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ElideLabel::setText(const QString& text) {
    QLabel::setText(text);
    syncTip();
}

// Rich text, wrapped text and several lines lay themselves out; only one plain line is
// shortened here.
bool ElideLabel::elidable() const {
    const QString t = text();
    if (wordWrap() || t.contains(QLatin1Char('\n'))) return false;
    if (textFormat() == Qt::RichText || textFormat() == Qt::MarkdownText) return false;
    return !(textFormat() == Qt::AutoText && Qt::mightBeRichText(t));
}

QRect ElideLabel::textRect() const {
    QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    if (indent() > 0) {
        if (alignment() & Qt::AlignLeft) r.setLeft(r.left() + indent());
        if (alignment() & Qt::AlignRight) r.setRight(r.right() - indent());
    }
    return r;
}

QString ElideLabel::shownText() const {
    if (!elidable()) return text();
    return fontMetrics().elidedText(text(), Qt::ElideRight, textRect().width());
}

void ElideLabel::syncTip() {
    if (isElided()) {
        tip_ = text();
        if (toolTip() != tip_) setToolTip(tip_);
    } else if (!tip_.isNull()) {
        if (toolTip() == tip_) setToolTip(QString());
        tip_ = QString();
    }
}

bool ElideLabel::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip:
        case QEvent::FontChange:
        case QEvent::StyleChange:
        case QEvent::ContentsRectChange:
            syncTip();
            break;
        default:
            break;
    }
    return QLabel::event(event);
}

void ElideLabel::paintEvent(QPaintEvent* event) {
    const QString shown = shownText();
    syncTip();
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    // The same drawing QLabel does for a plain line, with the shortened text.
    QPainter painter(this);
    drawFrame(&painter);
    const int align = QStyle::visualAlignment(layoutDirection(), alignment());
    style()->drawItemText(&painter, textRect(), align, palette(), isEnabled(), shown,
                          foregroundRole());
}

void ElideLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    syncTip();
}

}  // namespace zenrun
