#pragma once

#include <QFont>
#include <QStringList>

namespace zenrun {

// The forms were drawn for Windows faces (SimSun, Arial) that a Linux desktop seldom has.
// Asked for alone, a missing face leaves Qt to pick a face per character, and a row of
// Chinese names and digits comes out in two faces. So every font the program sets asks for
// a list: the face it was drawn for, then CJK faces Linux desktops carry (they hold Latin
// letters and digits too), then the system's sans. The first one installed draws the whole
// text.
QStringList uifamilies(const QString& first);
QFont uifont(const QString& first, int pixelSize);

}  // namespace zenrun
