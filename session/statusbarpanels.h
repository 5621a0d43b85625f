#pragma once

class QLabel;
class QStatusBar;

namespace zenrun {

// The status bar as three panels side by side: panel 0 is the bar's own message
// (showMessage), panels 1 and 2 are permanent labels beside it, made the first time either is
// asked for. Any other index gives null.
QLabel* statusbarpanel(QStatusBar* bar, int index);

}  // namespace zenrun
