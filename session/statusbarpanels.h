#pragma once

class QLabel;
class QStatusBar;

namespace zenrun {

// The status bar as three text panels side by side (0, 1, 2). The panels are made the first
// time any of them is asked for; an index outside 0..2 gives null.
QLabel* statusbarpanel(QStatusBar* bar, int index);

}  // namespace zenrun
