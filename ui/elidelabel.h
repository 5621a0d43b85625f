#pragma once

#include <QLabel>

namespace zenrun {

// A one-line label that never cuts its text without a sign: when it is too narrow it shows
// the start of the text and "…", and carries the whole text as its tooltip. text() is always
// the whole text, whoever reads it.
class ElideLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElideLabel(QWidget* parent = nullptr);
    explicit ElideLabel(const QString& text, QWidget* parent = nullptr);

    // Hides QLabel::setText so the tooltip is right at once; a text set through a QLabel
    // pointer gets its tooltip at the next paint, resize or hover.
    void setText(const QString& text);

    // The text as painted: the whole text, or its start and "…".
    QString shownText() const;
    bool isElided() const { return shownText() != text(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool elidable() const;
    QRect textRect() const;
    void syncTip();

    QString tip_;  // the tooltip this label put there itself
};

}  // namespace zenrun
