#pragma once

#include <QColor>
#include <QString>
#include <optional>

#include "core/linerecord.h"

namespace zenrun {

// Columns of the line list.
enum LineColumn { kColName = 0, kColDelay = 1, kColOnlineRate = 2, kColL2tp = 3, kLineColumns = 4 };

// A delay that is not a whole number ("NA", a probe failure text) sorts as this many ms,
// after every measured line.
inline constexpr qint64 kUnmeasuredDelay = 37000000;

// The delay text as a number for sorting.
qint64 delaysortkey(const QString& delay);

// The text shown in a column of the line list.
QString celltext(const ps& line, int column);

// Order of two lines in a column: 1 when `a` goes after `b`, -1 otherwise. Never 0: equal
// keys keep their order in ascending and swap it in descending order. Text columns compare
// by character code.
int comparelines(const ps& a, const ps& b, int column, Qt::SortOrder direction);
// The same on precomputed delay keys.
int comparekeys(qint64 a, qint64 b, Qt::SortOrder direction);
int comparetexts(const QString& a, const QString& b, Qt::SortOrder direction);

// Background of a row by its delay: none for "NA", a band colour for a measured delay, grey
// for a line that did not answer.
std::optional<QColor> delaycolor(const QString& delay);

// Fill and text style of the focused row.
inline const QColor kFocusFill{0x64, 0xC8, 0xFF};
inline const QColor kFocusText{0x00, 0x00, 0xFF};
// Selection rectangle, blended over the list background.
inline const QColor kSelectionColor{0x37, 0x6D, 0x7D};
inline constexpr int kSelectionBlend = 200;

}  // namespace zenrun
