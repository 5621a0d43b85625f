#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>
#include <array>

namespace zenrun {

// The client's little text helper: a working text, cut at separators, replaced in, or
// filled from an HTTP GET (strings4). Used for one task and dropped.
class strings {
public:
    strings() = default;
    explicit strings(QString text) : text_(std::move(text)) {}
    explicit strings(qint64 number) : text_(QString::number(number)) {}

    // Cuts the working text at every separator. Empty pieces before a separator are dropped;
    // the piece after the last separator is kept even when empty; the first N pieces are
    // returned, the rest of the N slots empty.
    std::array<QString, 5> split5(const QString& separator) const;
    std::array<QString, 10> split10(const QString& separator) const;
    QString gettext() const { return text_; }
    void settext(const QString& text) { text_ = text; }
    // Replaces the first occurrence, or every one with ReplaceAll; IgnoreCase matches without
    // case. An empty old pattern replaces nothing. With `store` the result becomes the working
    // text too.
    enum ReplaceFlag { ReplaceAll = 0x1, IgnoreCase = 0x2 };
    Q_DECLARE_FLAGS(ReplaceFlags, ReplaceFlag)
    QString replace(const QString& oldPattern, const QString& newPattern, bool store,
                    ReplaceFlags flags = ReplaceAll);
    // Every occurrence, matched with the given case sensitivity.
    QString replace(const QString& oldPattern, const QString& newPattern, bool store,
                    Qt::CaseSensitivity cs);

protected:
    QString text_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(strings::ReplaceFlags)

// The splitting rule on its own, for any N.
QStringList splitpieces(const QString& text, const QString& separator, int n);

}  // namespace zenrun
