#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QScreen>
#include <QWidget>

// Building blocks the two account dialog forms share.
namespace zenrun::accountform {

template <typename W>
W* place(W* w, const char* name, int x, int y, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(x, y, width, height);
    return w;
}

inline QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int width) {
    return place(new QLineEdit(parent), name, x, y, width, 24);
}

// A password field shows one "*" per character.
inline QLineEdit* secret(QWidget* parent, const char* name, int x, int y, int width) {
    QLineEdit* e = edit(parent, name, x, y, width);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    return e;
}

inline QLabel* label(QWidget* parent, const QString& text, const char* name, int x, int y,
                     int width) {
    QLabel* l = place(new QLabel(text, parent), name, x, y, width, 24);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

// Buttons answer clicks and Space only: Enter in a field submits nothing by itself.
inline QPushButton* button(QWidget* parent, const QString& text, const char* name, int x, int y) {
    auto* b = place(new QPushButton(text, parent), name, x, y, 84, 28);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

inline void centreOnScreen(QWidget& w) {
    if (const QScreen* screen = w.screen()) {
        const QRect r = screen->availableGeometry();
        w.move(r.center() - QPoint(w.width() / 2, w.height() / 2));
    }
}

}  // namespace zenrun::accountform
